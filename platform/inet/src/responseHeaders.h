#pragma once
// The response header block of one HTTP transfer, built line by line as libcurl hands the
// lines over, and answered by the query codes of Request::queryInfo. Internal to the layer
// (and its fuzz target).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::inet::internal {

class ResponseHeaders {
 public:
  // All header bytes of a transfer (every block, redirects included) above the limit
  // fail it.
  static constexpr std::size_t kDefaultLimit = 256 * 1024;

  enum class Line {
    Header,    // a header line or a status line was taken
    BlockEnd,  // the blank line that ends a block
    TooLarge,  // the limit is passed; nothing more is taken
  };

  explicit ResponseHeaders(std::size_t limit = kDefaultLimit) : limit_(limit) {}

  // One line with its line end. "HTTP/..." starts a new block and forgets the previous
  // one; a line that starts with a blank or tab continues the previous header's value;
  // a line without a colon is kept for the raw headers only. A CR inside a line is read
  // as a blank.
  Line addLine(std::string_view line);

  // Whether the current block has ended with its blank line.
  bool complete() const { return complete_; }
  // From the status line: 0 when there was none or it holds no code from 100 to 999.
  int statusCode() const { return statusCode_; }

  // The value for an HTTP_QUERY_* code (without modifier flags): false when the block has
  // no such header, or the code is unknown (see knownQuery).
  bool query(std::uint32_t code, std::string& value) const;
  // The first header of that name, compared without regard to ASCII case.
  bool find(std::string_view name, std::string& value) const;

  static bool knownQuery(std::uint32_t code);
  // The header name of a query code that names one header, else null.
  static const char* headerName(std::uint32_t code);

 private:
  void startBlock();

  std::size_t limit_;
  std::size_t total_ = 0;
  bool complete_ = false;
  int statusCode_ = 0;
  std::string version_;
  std::string statusText_;
  std::string raw_;  // the block's lines, each ended by CR LF
  std::vector<std::pair<std::string, std::string>> fields_;
};

}  // namespace platform::inet::internal
