#pragma once
// How the layer's calls report a failure: the code becomes the thread's last error, and an
// extended error also sets the thread's last response text. Internal to the layer.

#include <cstdint>
#include <string>

namespace platform::inet::internal {

// Sets the last error to `code` and returns false, for `return fail(...)`.
bool fail(std::uint32_t code);
// As fail; the server's reply (if any, and always for ERROR_INTERNET_EXTENDED_ERROR) also
// becomes the last response text.
bool fail(std::uint32_t code, const std::wstring& serverReply);

}  // namespace platform::inet::internal
