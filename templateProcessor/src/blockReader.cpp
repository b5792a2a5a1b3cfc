#include "templateProcessor/src/blockReader.h"

#include <cstddef>

#include "platform/src/cLocale.h"
#include "templateProcessor/src/charStream.h"
#include "templateProcessor/src/viewStream.h"

namespace templateProcessor::internal {
namespace {

constexpr std::size_t kNone = std::wstring_view::npos;

// Upper case: text is folded before it is compared with them.
constexpr std::wstring_view kRepeatOpen = L"{%REPEAT%";
constexpr std::wstring_view kRepeatClose = L"{%/REPEAT%}";
constexpr std::wstring_view kIfOpen = L"{%?";
constexpr std::wstring_view kIfNotOpen = L"{%!";
constexpr std::wstring_view kElse = L"{%ELSE%}";
constexpr std::wstring_view kEndif = L"{%ENDIF%}";

// The text of one block as the search for its end reaches it: the rest of a ViewStream's
// text, or the characters of any other stream collected into storage as they are looked
// at. Every marker starts with the only '{' in it and none is a prefix of another, so a
// search that stops at the first differing character never reads past the marker that
// ends the block: what follows the block stays in the input.
class BlockText {
 public:
  BlockText(std::wistream& input, std::wstring& storage)
      : input_(input), view_(dynamic_cast<ViewStreamBuf*>(input.rdbuf())), storage_(storage) {
    storage_.clear();
  }

  // The position of the first '{' at or after `from`; kNone at the end of the input.
  std::size_t findBrace(std::size_t from) {
    if (view_) return view_->rest().find(L'{', from);
    for (std::size_t at = from;; ++at) {
      wchar_t c = 0;
      if (!charAt(at, c)) return kNone;
      if (c == L'{') return at;
    }
  }

  // Whether `marker` is written at `at`, ignoring case.
  bool startsAt(std::size_t at, std::wstring_view marker) {
    wchar_t c = 0;
    for (std::size_t i = 0; i < marker.size(); ++i) {
      if (!charAt(at + i, c) || platform::toUpperC(c) != marker[i]) return false;
    }
    return true;
  }

  // The text up to `end` (kNone: to the end of the input), consumed from the input.
  std::wstring_view take(std::size_t end) {
    if (!view_) return std::wstring_view(storage_).substr(0, end);
    const std::wstring_view text = view_->rest().substr(0, end);
    view_->skip(text.size());
    return text;
  }

 private:
  bool charAt(std::size_t at, wchar_t& c) {
    if (view_) {
      const std::wstring_view rest = view_->rest();
      if (at >= rest.size()) return false;
      c = rest[at];
      return true;
    }
    while (storage_.size() <= at) {
      const CharInt next = nextChar(input_);
      if (isEnd(next)) return false;
      storage_ += static_cast<wchar_t>(next);
    }
    c = storage_[at];
    return true;
  }

  std::wistream& input_;
  ViewStreamBuf* view_;
  std::wstring& storage_;
};

}  // namespace

std::wstring_view readRepeatBody(std::wistream& input, std::wstring& storage) {
  BlockText text(input, storage);
  int depth = 0;
  for (std::size_t at = text.findBrace(0); at != kNone; at = text.findBrace(at + 1)) {
    if (text.startsAt(at, kRepeatOpen)) {
      ++depth;
    } else if (text.startsAt(at, kRepeatClose)) {
      if (depth == 0) return text.take(at + kRepeatClose.size()).substr(0, at);
      --depth;
    }
  }
  return text.take(kNone);
}

ConditionalParts readConditionalParts(std::wistream& input, std::wstring& storage) {
  BlockText text(input, storage);
  std::size_t thenEnd = kNone;
  std::size_t elseBegin = kNone;
  int depth = 0;
  std::size_t at = text.findBrace(0);
  for (; at != kNone; at = text.findBrace(at + 1)) {
    if (text.startsAt(at, kIfOpen) || text.startsAt(at, kIfNotOpen)) {
      ++depth;
    } else if (text.startsAt(at, kEndif)) {
      if (depth == 0) break;
      --depth;
    } else if (depth == 0 && thenEnd == kNone && text.startsAt(at, kElse)) {
      thenEnd = at;
      elseBegin = at + kElse.size();
    }
  }
  const std::wstring_view block = text.take(at == kNone ? kNone : at + kEndif.size());
  const std::size_t partEnd = at == kNone ? block.size() : at;
  if (thenEnd == kNone) return {block.substr(0, partEnd), {}};
  return {block.substr(0, thenEnd), block.substr(elseBegin, partEnd - elseBegin)};
}

}  // namespace templateProcessor::internal
