#pragma once
// The WinSock and WinINet error codes, and the stand-ins' own codes (without the mark of
// platform::ownCode), that have texts in the string table (module win32tools). Each table
// ends with a row whose code is 0.

#include <cstdint>

namespace win32tools::internal {

struct ErrorTableRow {
  std::uint32_t code;
  int stringId;
};

extern const ErrorTableRow kWinSockErrors[];
extern const ErrorTableRow kWinInetErrors[];
extern const ErrorTableRow kOwnErrors[];

// The string id of `code` in `table` (first match), or 0.
int findErrorString(const ErrorTableRow* table, std::uint32_t code);

}  // namespace win32tools::internal
