#include "plugin/src/literalPiece.h"

#include <algorithm>
#include <bit>

namespace plugin {

// The automaton's state: bit j is set when the piece's first j + 1 characters end at the
// character just read.
class LiteralPiece::State {
 public:
  explicit State(std::size_t words) : bits_(words, 0) {}

  // Reads one character whose mask is `mask` (null: a character not in the piece);
  // `afterSpace` tells whether white space came before it.
  void step(const std::uint64_t* mask, const std::vector<std::uint64_t>& gapMask, bool afterSpace) {
    if (mask == nullptr) {
      if (active_) std::fill(bits_.begin(), bits_.end(), 0);
      active_ = false;
      return;
    }
    std::uint64_t carry = 1;
    bool any = false;
    for (std::size_t w = 0; w < bits_.size(); ++w) {
      const std::uint64_t next = bits_[w] >> 63;
      std::uint64_t bits = ((bits_[w] << 1) | carry) & mask[w];
      if (afterSpace) bits &= gapMask[w];
      bits_[w] = bits;
      any = any || bits != 0;
      carry = next;
    }
    active_ = any;
  }

  bool active() const { return active_; }
  bool has(std::size_t j) const { return active_ && ((bits_[j / 64] >> (j % 64)) & 1) != 0; }

  // Length of the longest start of the piece that ends here; 0 for none.
  std::size_t longest() const {
    if (!active_) return 0;
    for (std::size_t w = bits_.size(); w-- > 0;) {
      if (bits_[w] != 0)
        return w * 64 + (64 - static_cast<std::size_t>(std::countl_zero(bits_[w])));
    }
    return 0;
  }

 private:
  std::vector<std::uint64_t> bits_;
  bool active_ = false;
};

LiteralPiece::LiteralPiece(std::wstring_view text, std::size_t offset) {
  bool gap = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isSpace(text[i])) {
      gap = !chars_.empty();
      continue;
    }
    chars_.push_back(fold(text[i]));
    gapBefore_.push_back(gap);
    sources_.push_back(offset + i);
    gap = false;
  }
  words_ = (chars_.size() + 63) / 64;
  std::fill(std::begin(asciiMask_), std::end(asciiMask_), -1);
  gapMask_.assign(words_, 0);
  for (std::size_t j = 0; j < chars_.size(); ++j) {
    std::size_t index;
    const wchar_t c = chars_[j];
    if (c >= 0 && c < 128 && asciiMask_[c] >= 0) {
      index = static_cast<std::size_t>(asciiMask_[c]);
    } else if (const auto found = otherMask_.find(c); found != otherMask_.end()) {
      index = found->second;
    } else {
      index = masks_.size() / words_;
      masks_.resize(masks_.size() + words_, 0);
      if (c >= 0 && c < 128) {
        asciiMask_[c] = static_cast<std::int32_t>(index);
      } else {
        otherMask_.emplace(c, index);
      }
    }
    masks_[index * words_ + j / 64] |= std::uint64_t{1} << (j % 64);
    if (c >= L'a' && c <= L'z') asciiMask_[c - (L'a' - L'A')] = asciiMask_[c];
    // The first character may follow anything.
    if (j == 0 || gapBefore_[j]) gapMask_[j / 64] |= std::uint64_t{1} << (j % 64);
  }
  std::fill(std::begin(asciiStarts_), std::end(asciiStarts_), false);
  if (!chars_.empty() && chars_[0] >= 0 && chars_[0] < 128) {
    asciiStarts_[chars_[0]] = true;
    if (chars_[0] >= L'a' && chars_[0] <= L'z') asciiStarts_[chars_[0] - (L'a' - L'A')] = true;
  }
}

const std::uint64_t* LiteralPiece::otherMaskOf(wchar_t c) const {
  const auto found = otherMask_.find(c);
  return found == otherMask_.end() ? nullptr : &masks_[found->second * words_];
}

std::size_t LiteralPiece::nextStart(std::wstring_view text, std::size_t i) const {
  const wchar_t first = chars_[0];
  if (first >= 0 && first < 128) {
    while (i < text.size() && !(text[i] >= 0 && text[i] < 128 && asciiStarts_[text[i]])) ++i;
  } else {
    while (i < text.size() && text[i] != first) ++i;
  }
  return i;
}

std::optional<LiteralPiece::Found> LiteralPiece::find(std::wstring_view text, std::size_t from,
                                                      std::uint64_t& work) const {
  const std::size_t m = chars_.size();
  if (m == 0) return Found{from, from};
  State state(words_);
  bool afterSpace = false;
  for (std::size_t i = from; i < text.size(); ++i) {
    if (!state.active()) {
      // Nothing is under way: only a first character can change that.
      i = nextStart(text, i);
      if (i == text.size()) break;
      afterSpace = false;
    }
    if (isSpace(text[i])) {
      afterSpace = true;
      continue;
    }
    state.step(maskOf(text[i]), gapMask_, afterSpace);
    afterSpace = false;
    if (!state.has(m - 1)) continue;
    work += i + 1 - from;
    std::size_t start = i;
    for (std::size_t counted = 1; counted < m;) {
      if (!isSpace(text[--start])) ++counted;
    }
    return Found{start, i + 1};
  }
  work += text.size() - std::min(from, text.size());
  return std::nullopt;
}

LiteralPiece::Partial LiteralPiece::longestPrefix(std::wstring_view text, std::size_t from,
                                                  std::uint64_t& work) const {
  Partial best{0, from};
  State state(words_);
  bool afterSpace = false;
  for (std::size_t i = from; i < text.size(); ++i) {
    if (isSpace(text[i])) {
      afterSpace = true;
      continue;
    }
    state.step(maskOf(text[i]), gapMask_, afterSpace);
    afterSpace = false;
    const std::size_t length = state.longest();
    if (length <= best.length || length >= chars_.size()) continue;
    std::size_t stop = i + 1;
    // White space the piece allows there is not where the page differs.
    if (gapBefore_[length]) {
      while (stop < text.size() && isSpace(text[stop])) ++stop;
    }
    best = {length, stop};
  }
  work += text.size() - std::min(from, text.size());
  return best;
}

}  // namespace plugin
