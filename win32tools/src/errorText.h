#pragma once
// Error codes as text for the user, to append to a module's own message:
//     net::internal::istring(11522).format(host, win32tools::lastErrorText())

#include <cstdint>
#include <string>

namespace win32tools {

// In this order: 12003 (an extended Internet error) gives the calling thread's last server
// response text, which may be empty; another non-zero code without the mark of
// platform::ownCode the system's text for it (errno values); then, without the mark, the
// WinSock table, the WinINet table and (marked only) the stand-ins' own table; else
// "WIN32 error %1" with the unmarked code as 8 upper-case hexadecimal digits. Never fails.
std::wstring win32ErrorText(std::uint32_t code);

// win32ErrorText of the calling thread's last error (platform::getLastError).
std::wstring lastErrorText();

}  // namespace win32tools
