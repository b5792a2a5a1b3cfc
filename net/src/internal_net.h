#pragma once
// What the whole network module shares: URL splitting and redirect resolution, the
// process-wide options applied to handles, and the two header operations of a request.

#include <cstdint>
#include <string>

#include "platform/inet/src/urlComponents.h"

namespace net {

namespace internal {
class InternetHandle;
class RequestHandle;
}  // namespace internal

// Splits `url` (platform::inet::crackUrl): scheme number and text, host, port, path and
// extra info. A text without a scheme is a local path (INTERNET_SCHEME_UNKNOWN, the path
// is the text). A file: URL is split as written; fileUrlPath() gives the path it names.
// Throws misc::wruntime_error "Can't parse URL (rc=0): <url>" when it cannot be split.
platform::inet::UrlComponents crackUrl(const std::wstring& url);

// The absolute URL that a Location header `location` sent for `base` points to: a
// location that starts with "http" (any case) as it is; else the base's scheme and host
// (and its port when it is not the scheme's default) with the location below the root,
// whatever the base's path: "next.html" for http://h/dir/page is http://h/next.html. A
// base that cannot be split gives the location unchanged. Never throws.
std::wstring resolveRedirectUrl(const std::wstring& base, const std::wstring& location);

// Applies, in this order, the settings connectRetries, connectTimeout, fromCacheTimeout,
// receiveTimeout, sendTimeout, proxyUserName and proxyPassword to `handle`; with every
// setting at its default nothing is set at all.
void configureInternetHandle(internal::InternetHandle& handle);

// Sets the option unless the value is 0 or empty. A refusal is no error: one line goes to
// the message log (no group), "Can't set WinInet option:<n> to <value>: <reason>" (the
// text between single quotes).
void setInternetOption(internal::InternetHandle& handle, std::uint32_t option, std::uint32_t value);
void setInternetOption(internal::InternetHandle& handle, std::uint32_t option,
                       const std::wstring& value);

// Adds "name: value" to the request. Throws misc::wruntime_error
// 'Can't add HTTP header "<line>": <reason>' when the layer refuses it.
void addRequestHeader(internal::RequestHandle& request, const std::wstring& name,
                      const std::wstring& value);

// The response header of query code `code` (HTTP_QUERY_*): false, leaving `value` alone,
// when it is absent or 4096 characters or longer. `name` is for the log lines of
// "HttpHeaders" only. Never throws.
bool queryResponseHeader(const internal::RequestHandle& request, const std::wstring& name,
                         std::uint32_t code, std::wstring& value);

}  // namespace net
