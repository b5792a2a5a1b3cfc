#include "plugin/src/pattern.h"

#include <numeric>
#include <string_view>

#include "plugin/src/istring.h"
#include "plugin/src/pageExcerpt.h"
#include "plugin/src/pluginError.h"

namespace plugin {
namespace {

using internal::istring;

constexpr std::pair<std::wstring_view, Field> kNames[] = {
    {L"", Field::Description}, {L"title", Field::Title},
    {L"link", Field::Link},    {L"description", Field::Description},
    {L"date", Field::Date},    {L"author", Field::Author},
    {L"image", Field::Image},
};

// The dialog's limit for a pattern. It also bounds what one literal piece costs per page
// character (a machine word per 64 of its characters).
constexpr std::size_t kMostCharacters = 1024;

std::optional<Field> fieldNamed(std::wstring_view name) {
  std::wstring folded;
  for (const wchar_t c : name) folded += LiteralPiece::fold(c);
  for (const auto& [known, field] : kNames) {
    if (folded == known) return field;
  }
  return std::nullopt;
}

}  // namespace

std::wstring captureName(Field field) {
  // The last name of a field is its full one.
  std::wstring_view name;
  for (const auto& [known, each] : kNames) {
    if (each == field) name = known;
  }
  return std::wstring(name);
}

Pattern::Pattern(std::wstring text, std::wstring name)
    : text_(std::move(text)), name_(std::move(name)) {
  if (text_.size() > kMostCharacters) {
    throw PluginError(istring(14240).format(name_, std::to_wstring(text_.size()),
                                            std::to_wstring(kMostCharacters)));
  }
  std::size_t literal = 0;
  std::size_t i = 0;
  while (i < text_.size()) {
    const std::wstring_view rest = std::wstring_view(text_).substr(i);
    if (rest.starts_with(L"{*}")) {
      addPiece(literal, i);
      if (!pendingHole_) pendingHole_ = i;
      i += 3;
      literal = i;
    } else if (rest.starts_with(L"{%")) {
      const std::size_t close = rest.find(L'}');
      const std::wstring_view name =
          close == std::wstring_view::npos ? rest.substr(2) : rest.substr(2, close - 2);
      const std::optional<Field> field =
          close == std::wstring_view::npos ? std::nullopt : fieldNamed(name);
      if (!field) {
        const std::wstring shown =
            shownHead(rest.substr(0, close == std::wstring_view::npos ? 20 : close + 1));
        throw PluginError(istring(14207).format(name_, shown));
      }
      addPiece(literal, i);
      if (!pendingHole_) pendingHole_ = i;
      if (!pendingCapture_) pendingCapture_ = field;
      ++counts_[static_cast<std::size_t>(*field)];
      i += close + 1;
      literal = i;
    } else {
      ++i;
    }
  }
  addPiece(literal, text_.size());
}

void Pattern::addPiece(std::size_t begin, std::size_t end) {
  LiteralPiece piece(std::wstring_view(text_).substr(begin, end - begin), begin);
  // White space alone matches nothing in particular: it joins the skips around it.
  if (piece.size() == 0) return;
  segments_.push_back(
      {pendingCapture_, pendingHole_.has_value(), pendingHole_.value_or(begin), std::move(piece)});
  pendingCapture_.reset();
  pendingHole_.reset();
}

std::size_t Pattern::captureCount() const {
  return std::accumulate(counts_.begin(), counts_.end(), std::size_t{0});
}

}  // namespace plugin
