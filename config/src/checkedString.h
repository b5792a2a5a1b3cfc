#pragma once
// The checked-string diagnostic: values that look like absolute file paths (or, when read,
// like unexpanded "{:" templates) are replaced by a marker text so that they stand out.
// The switch is off unless a developer turns it on; then the checks change nothing.

#include <string>

namespace config::internal {

bool checkPathsEnabled();
void setCheckPathsEnabled(bool enabled);

// `text`, or the marker text when the switch is on and `text` fails the check. `reading`
// adds the "{:" test of the getter.
std::wstring checkedString(const std::wstring& text, bool reading);

}  // namespace config::internal
