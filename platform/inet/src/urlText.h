#pragma once
// Pieces of the URLs that the layer hands to libcurl. Internal to the layer.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform::inet::internal {

// "scheme://host:port", with brackets around an IPv6 address.
std::string urlOrigin(std::string_view scheme, std::string_view host, std::uint16_t port);
// An HTTP object name as the server is to see it: escapes (%XX) blanks, control characters
// and bytes beyond ASCII, and nothing else, so escapes the caller made stay as they are.
std::string escapeObjectName(std::string_view name);
// An FTP path as a file name: every byte but letters, digits, "-._~" and "/" is escaped.
std::string escapeFtpPath(std::string_view path);

}  // namespace platform::inet::internal
