#include "settingsEditor/src/dialogLayout.h"

#include <algorithm>

#include "settingsEditor/src/cResizer.h"
#include "settingsEditor/src/controlIds.h"

namespace settingsEditor {
namespace {

using R = CResizer;

constexpr int kMargin = 18;
constexpr int kGap = 18;

constexpr R::EdgeRule kNone{};
constexpr R::EdgeRule kKeep{R::RULE_KEEP};
// The area's own edge: left or top for a near edge, right or bottom for a far one.
constexpr R::EdgeRule kAreaEdge{R::RULE_ABSOLUTE, R::NO_CONTROL, 0};

constexpr R::EdgeRule adjacent(int reference, int value) {
  return {R::RULE_ADJACENT, reference, value};
}

constexpr R::EdgeRule kInsideGroupBox{R::RULE_ALIGN, IDC_PATTERN_GROUP, -R::GAP_HALF};

// A field that keeps its place and height and stretches its right edge to `right`.
constexpr R::ResizeRule stretched(int control, R::EdgeRule right) {
  return {control, kKeep, right, kNone, kKeep, kNone, kKeep};
}

// A bottom-row button that keeps its size.
constexpr R::ResizeRule bottomRow(int control, R::EdgeRule left, R::EdgeRule right) {
  return {control, left, right, kKeep, kNone, kAreaEdge, kKeep};
}

// Evaluated top to bottom: each row's references are placed by the rows above it.
constexpr R::ResizeRule kTable[] = {
    bottomRow(IDCANCEL, kNone, kAreaEdge),
    bottomRow(IDC_SAVE, kNone, adjacent(IDCANCEL, R::GAP_HALF)),
    bottomRow(IDC_LOAD, kNone, adjacent(IDC_SAVE, R::GAP_HALF)),
    bottomRow(IDC_PREVIEW, kAreaEdge, kNone),
    bottomRow(IDC_VIEW_IN_BROWSER, adjacent(IDC_PREVIEW, 4), kNone),
    {IDC_VIEW, kNone, kAreaEdge, kKeep, kAreaEdge, kNone, kKeep},
    stretched(IDC_URL, adjacent(IDC_VIEW, 4)),
    stretched(IDC_TITLE, kAreaEdge),
    stretched(IDC_DESCRIPTION, kAreaEdge),
    stretched(IDC_BASE_URL, kAreaEdge),
    {IDC_PATTERN_GROUP, kAreaEdge, kAreaEdge, kNone, kKeep, kKeep, kNone},
    stretched(IDC_SHORTHAND, kInsideGroupBox),
    stretched(IDC_SECTION_PATTERN, kInsideGroupBox),
    stretched(IDC_ITEM_PATTERN_1, kInsideGroupBox),
    stretched(IDC_ITEM_PATTERN_2, kInsideGroupBox),
    stretched(IDC_ITEM_PATTERN_3, kInsideGroupBox),
    {R::NO_CONTROL},
};

}  // namespace

void layoutDialog(ControlGeometry& dialog, Size smallest) {
  const Rect client = dialog.clientRect();
  const int width = std::max(client.width(), smallest.width);
  const int height = std::max(client.height(), smallest.height);
  const Rect area{client.left + kMargin, client.top + kMargin, client.left + width - kMargin,
                  client.top + height - kMargin};
  CResizer().resize(dialog, kTable, kGap, kGap, area, true);
}

}  // namespace settingsEditor
