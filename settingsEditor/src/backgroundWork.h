#pragma once
// Long work off the window's thread, so that the window repaints meanwhile.

#include <functional>

#include "settingsEditor/src/dialogView.h"

namespace settingsEditor {

// Runs `work` on a thread of its own and returns when it has ended, rethrowing whatever it
// threw. Meanwhile the calling thread, the window's, calls view.keepAlive() and then `tick`
// (when given) every few milliseconds. `work` must not touch the view.
void runKeepingWindowAlive(DialogView& view, const std::function<void()>& work,
                           const std::function<void()>& tick = {});

}  // namespace settingsEditor
