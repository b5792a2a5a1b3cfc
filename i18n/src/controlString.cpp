#include "i18n/src/controlString.h"

#include <limits>

namespace i18n {
namespace {

class Parser {
 public:
  explicit Parser(std::wstring_view text) : text_(text) {}

  bool atDigit() const { return pos_ < text_.size() && text_[pos_] >= L'0' && text_[pos_] <= L'9'; }

  bool take(wchar_t c) {
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  // At least one digit; false when there is none or the number leaves the id range.
  bool number(int& out) {
    if (!atDigit()) return false;
    long long value = 0;
    while (atDigit()) {
      value = value * 10 + (text_[pos_++] - L'0');
      if (value > std::numeric_limits<int>::max()) return false;
    }
    out = static_cast<int>(value);
    return true;
  }

  bool restIs(std::wstring_view tail) const { return text_.substr(pos_) == tail; }

 private:
  std::wstring_view text_;
  std::size_t pos_ = 0;
};

bool hasFrame(std::wstring_view text) {
  return text.size() >= 7 && text.substr(0, 3) == L"[*:" && text.substr(text.size() - 3) == L":*]";
}

}  // namespace

int ControlString::select(int indexVal) const {
  const auto found = indexedIds.find(indexVal);
  return found != indexedIds.end() ? found->second : defaultId;
}

std::wstring ControlString::describeEntries() const {
  std::wstring out;
  for (const auto& [key, id] : indexedIds) {
    if (!out.empty()) out += L" ; ";
    out += std::to_wstring(key) + L"=>" + std::to_wstring(id);
  }
  return out;
}

bool parseControlString(std::wstring_view text, ControlString& out) {
  if (!hasFrame(text)) return false;
  Parser p(text.substr(3));
  out = ControlString();
  if (!p.number(out.defaultId) || out.defaultId == 0 || !p.take(L':')) return false;
  while (p.atDigit()) {
    int key = 0;
    int id = 0;
    if (!p.number(key) || !p.take(L'>') || !p.number(id) || id == 0 || !p.take(L':')) {
      return false;
    }
    out.indexedIds.emplace(key, id);  // a repeated key keeps its first id
  }
  return p.restIs(L"*]");
}

}  // namespace i18n
