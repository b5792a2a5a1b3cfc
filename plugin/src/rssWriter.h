#pragma once
// The RSS 2.0 document of a feed, in UTF-8. It is well-formed XML whatever the texts hold:
// every text is escaped, and characters XML cannot carry (control characters but tab and
// line breaks, U+FFFE, U+FFFF, lone surrogates) are left out.
//
// Warnings about the feed are comments, one a line, right after the <channel> line:
//
//     <!-- warning: TEXT -->
//
// with TEXT on one line (line breaks become blanks), each "-" that follows another preceded
// by a blank and a last "-" followed by one, so that readers see a plain comment.
//
// An item has a title, left out only when it is empty and the item has a description; link
// and guid (the link) when it has a link; description and pubDate when it has them; its
// author as <author> when that holds an e-mail address, as RSS 2.0 wants, else as
// <dc:creator>; an image becomes an enclosure whose type follows the image's extension.

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "plugin/src/feed.h"

namespace plugin {

// Writes the document as its items come, so that a page's items need not all be held. The
// text reaches `out` in parts of about kPartBytes, after items, and at finish(): nothing
// before the first part is full. A writer dropped before finish() leaves the document
// unfinished.
class RssWriter {
 public:
  static constexpr std::size_t kPartBytes = 64 * 1024;

  // Begins the document with `warnings` and the channel's elements; `channel.items` are
  // not written. `out` must outlive the writer.
  RssWriter(std::ostream& out, const Feed& channel, const std::vector<std::wstring>& warnings = {});
  RssWriter(const RssWriter&) = delete;
  RssWriter& operator=(const RssWriter&) = delete;

  void item(const FeedItem& item);
  // Ends the document and flushes `out`, whose state tells whether all of it was written.
  void finish();

 private:
  std::ostream& out_;
  std::string buffer_;
};

}  // namespace plugin
