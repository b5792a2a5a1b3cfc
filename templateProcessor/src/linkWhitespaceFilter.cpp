#include "templateProcessor/src/linkWhitespaceFilter.h"

#include "platform/src/cLocale.h"

namespace templateProcessor {
namespace {

bool isLetterA(wchar_t c) {
  return c == L'a' || c == L'A';
}

}  // namespace

void LinkWhitespaceFilter::put(wchar_t c, std::wstring& released) {
  const bool blank = platform::isSpaceC(c);
  switch (state_) {
    case State::kOutside:
      putOutside(c, blank, released);
      break;
    case State::kStartTag:
      if (c == L'>') state_ = last_ == L'/' ? State::kOutside : State::kLinkStart;
      pending_ += c;
      release(released);
      break;
    case State::kLinkStart:
      if (blank) return;  // dropped, and not remembered either
      state_ = State::kLinkBody;
      releasedText_ = false;
      putInBody(c, released);
      break;
    case State::kLinkBody:
      putInBody(c, released);
      break;
  }
  if (!blank) {
    beforeLast_ = last_;
    last_ = c;
  }
}

void LinkWhitespaceFilter::finish(std::wstring& released) {
  release(released);
  state_ = State::kOutside;
}

void LinkWhitespaceFilter::putOutside(wchar_t c, bool blank, std::wstring& released) {
  pending_ += c;
  if (last_ == L'<' && blank) {
    if (pending_.size() >= kCapacity) release(released);
    return;  // a start tag may still follow
  }
  if (last_ == L'<' && isLetterA(c)) state_ = State::kStartTag;
  release(released);
}

void LinkWhitespaceFilter::putInBody(wchar_t c, std::wstring& released) {
  if (isLetterA(c) && last_ == L'/' && beforeLast_ == L'<') {
    closeLink(c, released);
    return;
  }
  pending_ += c;
  if (pending_.size() >= kCapacity) releaseOverflow(released);
}

void LinkWhitespaceFilter::closeLink(wchar_t c, std::wstring& released) {
  const std::size_t tag = pending_.rfind(L'<');
  if (tag != std::wstring::npos) {
    std::size_t textEnd = tag;
    while (textEnd > 0 && platform::isSpaceC(pending_[textEnd - 1])) --textEnd;
    if (textEnd < tag && (textEnd > 0 || releasedText_)) pending_.erase(textEnd, tag - textEnd);
  }
  pending_ += c;
  release(released);
  state_ = State::kOutside;
}

// Keeps only what a closing "</a" could still trim: the white space at the end of the text,
// and the '<', '/' and blanks of a closing tag already begun after it.
void LinkWhitespaceFilter::releaseOverflow(std::wstring& released) {
  const auto skipBlanks = [this](std::size_t& at) {
    while (at > 0 && platform::isSpaceC(pending_[at - 1])) --at;
  };
  std::size_t keep = pending_.size();
  skipBlanks(keep);
  std::size_t tag = keep;
  if (tag > 0 && pending_[tag - 1] == L'/') {
    --tag;
    skipBlanks(tag);
  }
  if (tag > 0 && pending_[tag - 1] == L'<') {
    keep = tag - 1;
    skipBlanks(keep);
  }
  if (pending_.size() - keep >= kCapacity) keep = pending_.size();  // nothing left to gain
  for (std::size_t i = 0; i < keep && !releasedText_; ++i) {
    releasedText_ = !platform::isSpaceC(pending_[i]);
  }
  released.append(pending_, 0, keep);
  pending_.erase(0, keep);
}

void LinkWhitespaceFilter::release(std::wstring& released) {
  released += pending_;
  pending_.clear();
}

}  // namespace templateProcessor
