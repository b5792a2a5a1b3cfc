#pragma once

#include <ostream>
#include <span>
#include <string>

namespace net::internal {

// Lines of 16 bytes, each "<prefix>00000010  1f 8b 08 ...  ..abc", the offset in hex and the
// printable ASCII bytes on the right ('.' for the others). Nothing for no bytes.
void writeHexDump(std::wostream& out, std::span<const char> bytes, const std::wstring& prefix);

}  // namespace net::internal
