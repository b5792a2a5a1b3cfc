#include "plugin/src/selector.h"

#include <algorithm>

#include "platform/src/utf8.h"
#include "plugin/src/istring.h"
#include "plugin/src/literalPiece.h"
#include "plugin/src/pageExcerpt.h"
#include "plugin/src/pluginError.h"

namespace plugin {
namespace {

using internal::istring;

bool isNameCharacter(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
         c == L'-' || c == L'_' || c > 0x7F;
}

}  // namespace

bool Selector::isName(std::wstring_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), isNameCharacter);
}

Selector::Selector(std::wstring text) : text_(std::move(text)) {
  std::size_t i = 0;
  for (;;) {
    while (i < text_.size() && LiteralPiece::isSpace(text_[i])) ++i;
    if (i == text_.size()) break;
    parseStep(i);
  }
  if (steps_.empty()) fail(0);
}

void Selector::parseStep(std::size_t& i) {
  Step step;
  step.sourceBegin = i;
  if (text_[i] == L'*') {
    ++i;
  } else if (isNameCharacter(text_[i])) {
    step.tag = readName(i, true);
  }
  while (i < text_.size() && !LiteralPiece::isSpace(text_[i])) {
    const wchar_t c = text_[i++];
    if (c == L'.') {
      step.classes.push_back(readName(i, false));
    } else if (c == L'#') {
      step.ids.push_back(readName(i, false));
    } else if (c == L'[') {
      while (i < text_.size() && LiteralPiece::isSpace(text_[i])) ++i;
      step.attributes.push_back(readName(i, true));
      while (i < text_.size() && LiteralPiece::isSpace(text_[i])) ++i;
      if (i == text_.size() || text_[i] != L']') fail(i);
      ++i;
    } else {
      fail(i - 1);
    }
  }
  step.sourceEnd = i;
  steps_.push_back(std::move(step));
}

std::string Selector::readName(std::size_t& i, bool lower) {
  const std::size_t begin = i;
  while (i < text_.size() && isNameCharacter(text_[i])) ++i;
  if (i == begin) fail(i);
  std::wstring name = text_.substr(begin, i - begin);
  if (lower) {
    for (wchar_t& c : name) c = LiteralPiece::fold(c);
  }
  return platform::toUtf8(name);
}

void Selector::fail(std::size_t i) const {
  const std::wstring shown = i < text_.size() ? std::wstring(1, text_[i]) : std::wstring();
  throw PluginError(istring(14222).format(shownHead(text_), shown, std::to_wstring(i + 1)));
}

std::wstring Selector::stepText(std::size_t first, std::size_t last) const {
  const std::size_t begin = steps_[first].sourceBegin;
  return text_.substr(begin, steps_[last].sourceEnd - begin);
}

}  // namespace plugin
