#pragma once
// Turning captured page source into the texts of a feed.

#include <string>
#include <string_view>

namespace plugin {

// Character references decoded with the library's entity table ("&amp;", "&#233;",
// "&eacute;"); a reference it does not know stays as it is.
std::wstring decodeEntities(std::wstring_view html);

// The text a reader sees: tags and comments removed, references decoded, every run of
// white space one blank, trimmed.
std::wstring plainText(std::wstring_view html);

// Runs of white space as one blank, trimmed.
std::wstring collapseSpace(std::wstring_view text);

}  // namespace plugin
