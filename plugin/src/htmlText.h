#pragma once
// Turning captured page source into the texts of a feed.

#include <string>
#include <string_view>

#include "plugin/src/htmlReference.h"

namespace plugin {

// Character references decoded as HTML5 decodes them (htmlReference.h); an '&' that starts
// none stays as it is.
std::wstring decodeEntities(std::wstring_view html, ReferencePlace place);

// The text a reader sees: tags and comments removed, references decoded, every run of
// white space one blank, trimmed.
std::wstring plainText(std::wstring_view html);

// Runs of white space as one blank, trimmed.
std::wstring collapseSpace(std::wstring_view text);

}  // namespace plugin
