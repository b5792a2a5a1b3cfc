#include "platform/inet/src/responseHeaders.h"

#include <algorithm>
#include <array>

#include "platform/inet/src/inetConstants.h"

namespace platform::inet::internal {
namespace {

// The header codes 0 to 70 of the Internet API, by position; null where a code names no
// single header (the status line's parts and the raw forms).
constexpr std::array<const char*, 71> kHeaderNames = {
    "Mime-Version",
    "Content-Type",
    "Content-Transfer-Encoding",
    "Content-ID",
    "Content-Description",
    "Content-Length",
    "Content-Language",
    "Allow",
    "Public",
    "Date",
    "Expires",
    "Last-Modified",
    "Message-ID",
    "URI",
    "Derived-From",
    "Cost",
    "Link",
    "Pragma",
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,  // version, status code and text, raw forms
    "Connection",
    "Accept",
    "Accept-Charset",
    "Accept-Encoding",
    "Accept-Language",
    "Authorization",
    "Content-Encoding",
    "Forwarded",
    "From",
    "If-Modified-Since",
    "Location",
    "Orig-URI",
    "Referer",
    "Retry-After",
    "Server",
    "Title",
    "User-Agent",
    "WWW-Authenticate",
    "Proxy-Authenticate",
    "Accept-Ranges",
    "Set-Cookie",
    "Cookie",
    "Request-Method",
    "Refresh",
    "Content-Disposition",
    "Age",
    "Cache-Control",
    "Content-Base",
    "Content-Location",
    "Content-MD5",
    "Content-Range",
    "ETag",
    "Host",
    "If-Match",
    "If-None-Match",
    "If-Range",
    "If-Unmodified-Since",
    "Max-Forwards",
    "Proxy-Authorization",
    "Range",
    "Transfer-Encoding",
    "Upgrade",
    "Vary",
    "Via",
    "Warning",
    "Expect",
    "Proxy-Connection",
    "Unless-Modified-Since"};

constexpr std::uint32_t kRawHeaders = 21;  // NUL-separated; answered like the CR LF form

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view withoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

}  // namespace

ResponseHeaders::Line ResponseHeaders::addLine(std::string_view line) {
  if (total_ + line.size() > limit_) {
    total_ = limit_ + 1;
    return Line::TooLarge;
  }
  total_ += line.size();
  // A bare CR inside a line is no line end: it becomes a blank, so no value holds one.
  std::string cleaned(withoutLineEnd(line));
  std::replace(cleaned.begin(), cleaned.end(), '\r', ' ');
  const std::string_view text = cleaned;
  if (text.starts_with("HTTP/")) {
    startBlock();
    const std::size_t blank = text.find(' ');
    version_ = text.substr(0, blank);
    if (blank != std::string_view::npos) {
      const std::string_view rest = text.substr(blank + 1);
      const std::string_view code = rest.substr(0, 3);
      if (code.size() == 3 && (rest.size() == 3 || rest[3] == ' ') &&
          code.find_first_not_of("0123456789") == std::string_view::npos && code[0] != '0') {
        statusCode_ = (code[0] - '0') * 100 + (code[1] - '0') * 10 + (code[2] - '0');
        statusText_ = trimmed(rest.substr(3));
      }
    }
  } else if (text.empty()) {
    complete_ = true;
    return Line::BlockEnd;
  } else if (isBlank(text.front()) && !fields_.empty()) {
    std::string& value = fields_.back().second;
    if (!value.empty()) value += ' ';
    value += trimmed(text);
  } else if (const std::size_t colon = text.find(':'); colon != std::string_view::npos) {
    fields_.emplace_back(trimmed(text.substr(0, colon)), trimmed(text.substr(colon + 1)));
  }
  raw_.append(text).append("\r\n");
  return Line::Header;
}

void ResponseHeaders::startBlock() {
  complete_ = false;
  statusCode_ = 0;
  version_.clear();
  statusText_.clear();
  raw_.clear();
  fields_.clear();
}

bool ResponseHeaders::find(std::string_view name, std::string& value) const {
  for (const auto& [fieldName, fieldValue] : fields_) {
    if (equalsIgnoringCase(fieldName, name)) {
      value = fieldValue;
      return true;
    }
  }
  return false;
}

bool ResponseHeaders::query(std::uint32_t code, std::string& value) const {
  switch (code) {
    case HTTP_QUERY_VERSION:
      if (version_.empty()) return false;
      value = version_;
      return true;
    case HTTP_QUERY_STATUS_CODE:
      if (statusCode_ == 0) return false;
      value = std::to_string(statusCode_);
      return true;
    case HTTP_QUERY_STATUS_TEXT:
      if (statusCode_ == 0) return false;
      value = statusText_;
      return true;
    case kRawHeaders:
    case HTTP_QUERY_RAW_HEADERS_CRLF:
      value = raw_;
      return true;
    default: {
      const char* name = headerName(code);
      return name != nullptr && find(name, value);
    }
  }
}

bool ResponseHeaders::knownQuery(std::uint32_t code) {
  return code < kHeaderNames.size();
}

const char* ResponseHeaders::headerName(std::uint32_t code) {
  return code < kHeaderNames.size() ? kHeaderNames[code] : nullptr;
}

}  // namespace platform::inet::internal
