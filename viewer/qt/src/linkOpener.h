#pragma once
// How the viewer hands a link to the desktop: only http, https, ftp and mailto links, the
// ones a feed keeps, are ever opened. Any thread may call.

#include <QString>
#include <functional>

namespace viewer::qt {

using LinkOpener = std::function<void(const QString& url)>;

// True for a link of a scheme the viewer opens.
bool isOpenable(const QString& url);

// Starts the desktop's opener on `url` and does not wait for it.
void openWithDesktop(const QString& url);

}  // namespace viewer::qt
