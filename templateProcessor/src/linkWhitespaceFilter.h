#pragma once
// Drops white space just inside HTML links: after the '>' of an "<a ...>" start tag and
// before its "</a". Other text passes unchanged, so
//
//     <a href="x">  Home  </a>   becomes   <a href="x">Home</a>
//
// Characters are fed one at a time; those the filter is done with are appended to the
// caller's string. Link text is held until its "</a" arrives, at most kCapacity characters
// of it; beyond that the older part is released (and can no longer be trimmed).

#include <cstddef>
#include <string>

namespace templateProcessor {

class LinkWhitespaceFilter {
 public:
  static constexpr std::size_t kCapacity = 1024;

  void put(wchar_t c, std::wstring& released);
  // Releases every held character and starts again outside any link.
  void finish(std::wstring& released);
  bool holding() const { return !pending_.empty(); }
  // Nothing held and outside any link: finish() would change nothing.
  bool idle() const { return pending_.empty() && state_ == State::kOutside; }

 private:
  enum class State { kOutside, kStartTag, kLinkStart, kLinkBody };

  void putOutside(wchar_t c, bool blank, std::wstring& released);
  void putInBody(wchar_t c, std::wstring& released);
  void closeLink(wchar_t c, std::wstring& released);
  void releaseOverflow(std::wstring& released);
  void release(std::wstring& released);

  State state_ = State::kOutside;
  std::wstring pending_;
  // The last two non-blank characters seen, most recent first.
  wchar_t last_ = 0;
  wchar_t beforeLast_ = 0;
  // Part of the current link's text was released before it could be trimmed.
  bool releasedText_ = false;
};

}  // namespace templateProcessor
