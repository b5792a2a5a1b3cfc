#include "testSupport/src/httpReply.h"

#include <algorithm>
#include <cstdio>

namespace testSupport {

HttpReply& HttpReply::send(std::string bytes) {
  steps_.push_back({Step::Kind::Send, std::move(bytes)});
  return *this;
}

HttpReply& HttpReply::repeat(std::string bytes, std::size_t times) {
  steps_.push_back({Step::Kind::Repeat, std::move(bytes), times});
  return *this;
}

HttpReply& HttpReply::pause(int ms) {
  steps_.push_back({Step::Kind::Pause, {}, 0, ms});
  return *this;
}

HttpReply& HttpReply::reset() {
  steps_.push_back({Step::Kind::Reset, {}});
  return *this;
}

HttpReply& HttpReply::stall() {
  steps_.push_back({Step::Kind::Stall, {}});
  return *this;
}

HttpReply& HttpReply::endlessHeaders() {
  steps_.push_back({Step::Kind::EndlessHeaders, {}});
  return *this;
}

namespace {

std::string head(const std::string& statusLine, const std::vector<std::string>& headers) {
  std::string text = statusLine + "\r\n";
  for (const std::string& header : headers) text += header + "\r\n";
  return text;
}

}  // namespace

HttpReply HttpReply::status(int code, const std::string& reason,
                            const std::vector<std::string>& headers, const std::string& body) {
  std::string text = head("HTTP/1.0 " + std::to_string(code) + " " + reason, headers);
  text += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  return HttpReply().send(std::move(text));
}

HttpReply HttpReply::chunked(const std::vector<std::string>& headers, const std::string& body,
                             std::size_t chunkSize) {
  std::string text = head("HTTP/1.1 200 OK", headers) + "Transfer-Encoding: chunked\r\n\r\n";
  for (std::size_t at = 0; at < body.size(); at += chunkSize) {
    const std::size_t size = std::min(chunkSize, body.size() - at);
    char length[32];
    std::snprintf(length, sizeof length, "%zx\r\n", size);
    text += length + body.substr(at, size) + "\r\n";
  }
  return HttpReply().send(text + "0\r\n\r\n");
}

HttpReply HttpReply::redirect(int code, const std::string& location) {
  return status(code, "Moved", {"Location: " + location}, "moved");
}

}  // namespace testSupport
