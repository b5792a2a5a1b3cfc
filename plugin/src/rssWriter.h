#pragma once
// The RSS 2.0 document of a feed, in UTF-8. It is well-formed XML whatever the texts hold:
// every text is escaped, and characters XML cannot carry (control characters but tab and
// line breaks, U+FFFE, U+FFFF, lone surrogates) are left out.
//
// An item has a title always; link and guid (the link) when it has a link; description,
// author and pubDate when it has them; an image becomes an enclosure whose type follows
// the image's extension.

#include <string>

#include "plugin/src/feed.h"

namespace plugin {

std::string writeRss(const Feed& feed);

}  // namespace plugin
