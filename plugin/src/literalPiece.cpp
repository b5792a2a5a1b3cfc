#include "plugin/src/literalPiece.h"

#include <algorithm>
#include <bit>
#include <string>

#include "platform/src/utf8.h"

namespace plugin {

// The automaton's state: bit j is set when the piece's first j + 1 bytes end at the byte
// just read.
class LiteralPiece::State {
 public:
  // Pieces of up to kInlineWords * 64 bytes, nearly all, keep their state on the stack.
  explicit State(std::size_t words)
      : words_(words),
        heap_(words > kInlineWords ? words : 0),
        bits_(words > kInlineWords ? heap_.data() : inline_) {
    std::fill(bits_, bits_ + words_, 0);
  }
  State(const State&) = delete;
  State& operator=(const State&) = delete;

  // Reads one byte whose mask is `mask` (null: a byte not in the piece);
  // `afterSpace` tells whether white space came before it.
  void step(const std::uint64_t* mask, const std::vector<std::uint64_t>& gapMask, bool afterSpace) {
    if (mask == nullptr) {
      if (active_) std::fill(bits_, bits_ + words_, 0);
      active_ = false;
      return;
    }
    std::uint64_t carry = 1;
    bool any = false;
    for (std::size_t w = 0; w < words_; ++w) {
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
    for (std::size_t w = words_; w-- > 0;) {
      if (bits_[w] != 0)
        return w * 64 + (64 - static_cast<std::size_t>(std::countl_zero(bits_[w])));
    }
    return 0;
  }

 private:
  static constexpr std::size_t kInlineWords = 4;
  std::size_t words_;
  std::uint64_t inline_[kInlineWords];
  std::vector<std::uint64_t> heap_;
  std::uint64_t* bits_;
  bool active_ = false;
};

LiteralPiece::LiteralPiece(std::wstring_view text, std::size_t offset) {
  bool gap = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isSpace(text[i])) {
      gap = !bytes_.empty();
      continue;
    }
    const std::size_t before = bytes_.size();
    platform::appendUtf8(static_cast<char32_t>(fold(text[i])), bytes_);
    gapBefore_.resize(bytes_.size(), false);
    gapBefore_[before] = gap;
    sources_.resize(bytes_.size(), offset + i);
    gap = false;
  }
  words_ = (bytes_.size() + 63) / 64;
  std::fill(std::begin(byteMask_), std::end(byteMask_), -1);
  gapMask_.assign(words_, 0);
  for (std::size_t j = 0; j < bytes_.size(); ++j) {
    const auto c = static_cast<unsigned char>(bytes_[j]);
    if (byteMask_[c] < 0) {
      byteMask_[c] = static_cast<std::int32_t>(masks_.size() / words_);
      masks_.resize(masks_.size() + words_, 0);
      if (c >= 'a' && c <= 'z') byteMask_[c - ('a' - 'A')] = byteMask_[c];
    }
    masks_[static_cast<std::size_t>(byteMask_[c]) * words_ + j / 64] |= std::uint64_t{1}
                                                                        << (j % 64);
    // The first byte may follow anything.
    if (j == 0 || gapBefore_[j]) gapMask_[j / 64] |= std::uint64_t{1} << (j % 64);
  }
}

namespace {

// The first place at or after `i` where `hit` holds. Eight bytes are tested with one
// branch while none of them hits.
template <typename Hit>
std::size_t firstWhere(std::string_view text, std::size_t i, Hit hit) {
  for (; i + 8 <= text.size(); i += 8) {
    std::uint32_t any = 0;
    for (std::size_t k = 0; k < 8; ++k) any |= hit(text[i + k]) ? 1u : 0u;
    if (any) break;
  }
  while (i < text.size() && !hit(text[i])) ++i;
  return i;
}

}  // namespace

std::size_t LiteralPiece::nextStart(std::string_view text, std::size_t i) const {
  if (bytes_.empty()) return i;
  const char first = bytes_[0];
  if (first >= 'a' && first <= 'z') {
    // Only the two cases of the letter give `first` when 0x20 is set.
    return firstWhere(text, i, [first](char c) { return (c | 0x20) == first; });
  }
  return std::min(text.find(first, i), text.size());
}

template <typename Visit>
std::size_t LiteralPiece::scan(std::string_view text, std::size_t from, Visit visit) const {
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
    if (visit(i, state)) return i;
  }
  return text.size();
}

std::optional<LiteralPiece::Found> LiteralPiece::find(std::string_view text, std::size_t from,
                                                      std::uint64_t& work) const {
  const std::size_t m = bytes_.size();
  if (m == 0) return Found{from, from};
  const std::size_t last =
      scan(text, from, [m](std::size_t, const State& state) { return state.has(m - 1); });
  if (last == text.size()) {
    work += text.size() - std::min(from, text.size());
    return std::nullopt;
  }
  work += last + 1 - from;
  std::size_t start = last;
  for (std::size_t counted = 1; counted < m;) {
    if (!isSpace(text[--start])) ++counted;
  }
  return Found{start, last + 1};
}

LiteralPiece::Partial LiteralPiece::longestPrefix(std::string_view text, std::size_t from,
                                                  std::uint64_t& work) const {
  Partial best{0, from};
  scan(text, from, [&](std::size_t i, const State& state) {
    std::size_t length = state.longest();
    if (length >= bytes_.size()) return false;
    // A start cut inside a character counts up to that character, which the page then
    // differs in.
    std::size_t stop = i + 1;
    while (length > 0 && platform::continuesUtf8Sequence(bytes_[length])) {
      --length;
      --stop;
    }
    if (length <= best.length) return false;
    // White space the piece allows there is not where the page differs.
    if (gapBefore_[length]) {
      while (stop < text.size() && isSpace(text[stop])) ++stop;
    }
    best = {length, stop};
    return false;
  });
  work += text.size() - std::min(from, text.size());
  return best;
}

}  // namespace plugin
