#pragma once
// What a file handed to the viewer holds: a feed, plain text (the plug-in's diagnostics), or
// something the viewer cannot show, with one line saying why. Reading never throws for bad
// input; any thread may call.
//
// The file is text when its first character other than white space is not '<', and a feed
// otherwise; it is broken when it cannot be read, is empty, is larger than the limit, holds
// a NUL byte or bytes that are not UTF-8 (a byte-order mark is allowed), or is XML that is
// not a well-formed RSS feed.

#include <QString>
#include <memory>

#include "viewer/src/feed.h"
#include "viewer/src/feedReader.h"

namespace viewer {

struct ViewerInput {
  enum class Kind { Feed, Text, Broken };

  Kind kind = Kind::Broken;
  // The file's text: for a feed its XML; also for a broken file that is UTF-8 text.
  QString text;
  Feed feed;        // Kind::Feed only
  QString problem;  // Kind::Broken only: one line from the string table
  // Kind::Feed, when only the first items were read: reads the others into a Feed of their
  // own. A problem that shows only there makes the file broken after all.
  std::unique_ptr<FeedReader> rest;
};

// The largest file shown: far above any feed the plug-in writes.
constexpr qint64 kMaxViewerBytes = 64LL << 20;

// Reads the file and, for a feed, its first `firstItems` items (a negative number: all).
ViewerInput readViewerInput(const QString& path, qint64 maxBytes = kMaxViewerBytes,
                            int firstItems = -1);

}  // namespace viewer
