#pragma once
// Error codes as text for the user.

#include <cstdint>
#include <string>

namespace win32tools {

// The text of a system (errno), WinSock or WinINet error code; never fails.
std::wstring win32ErrorText(std::uint32_t code);

// win32ErrorText of the calling thread's last error (platform::getLastError).
std::wstring lastErrorText();

}  // namespace win32tools
