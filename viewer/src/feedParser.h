#pragma once
// Reads RSS 2.0 text into a Feed. Any thread may call; nothing is shared.
//
// A comment inside <channel> that reads `warning: TEXT` is one warning of the feed. An
// item's author is <author>, else <dc:creator>; its image is the URL of its <enclosure>.
// Elements the viewer does not show are skipped whatever they hold.

#include <QString>
#include <QStringView>

#include "viewer/src/feed.h"

namespace viewer {

// Fills `feed` from `xml`; on failure returns false with `problem` set to a line that says
// what is wrong with the file `name` (from the string table), and `feed` is unspecified.
bool parseFeed(QStringView xml, const QString& name, Feed& feed, QString& problem);

}  // namespace viewer
