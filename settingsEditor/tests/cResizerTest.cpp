#include "settingsEditor/src/cResizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "settingsEditor/src/controlIds.h"
#include "settingsEditor/src/dialogLayout.h"

namespace settingsEditor {

void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

using R = CResizer;

constexpr int kInvalidated = -1;

// Controls as rectangles; records every move and repaint in order.
class FakeGeometry : public ControlGeometry {
 public:
  std::map<int, Rect> rects;
  Rect client;
  std::vector<int> events;  // moved ids, kInvalidated for a repaint

  Rect clientRect() const override { return client; }
  std::optional<Rect> controlRect(int id) const override {
    const auto it = rects.find(id);
    return it == rects.end() ? std::nullopt : std::optional(it->second);
  }
  void moveControl(int id, const Rect& rect) override {
    rects.at(id) = rect;
    events.push_back(id);
  }
  void invalidate() override { events.push_back(kInvalidated); }
};

// The engine tests lay out control kC, next to a reference kRef, on one axis at a time. On
// that axis the area starts at 10 and is 200 wide, the gap is 19 (odd, so halving shows),
// kC spans 30..70 and kRef 100..150, area-relative. The other axis keeps its edges.
constexpr int kC = 1;
constexpr int kRef = 2;
constexpr int kMissing = 99;
constexpr R::EdgeRule kNone{};
constexpr R::EdgeRule kKeep{R::RULE_KEEP};

struct Span {
  int nearEdge;
  int farEdge;
};

Rect place(bool horizontal, Span along, Span across) {
  return horizontal ? Rect{along.nearEdge, across.nearEdge, along.farEdge, across.farEdge}
                    : Rect{across.nearEdge, along.nearEdge, across.farEdge, along.farEdge};
}

constexpr Span kAlong{10, 210};
constexpr Span kAcross{20, 120};
constexpr Span kCAcross{25, 45};

Rect areaRelative(bool horizontal, Span along) {
  return place(horizontal, {kAlong.nearEdge + along.nearEdge, kAlong.nearEdge + along.farEdge},
               kCAcross);
}

FakeGeometry engineFixture(bool horizontal) {
  FakeGeometry dialog;
  dialog.rects[kC] = areaRelative(horizontal, {30, 70});
  dialog.rects[kRef] = areaRelative(horizontal, {100, 150});
  return dialog;
}

void resizeOnAxis(FakeGeometry& dialog, bool horizontal, const R::ResizeRule& row, bool clamp) {
  const R::ResizeRule table[] = {row, {R::NO_CONTROL}};
  CResizer().resize(dialog, table, horizontal ? 19 : 10, horizontal ? 10 : 19,
                    place(horizontal, kAlong, kAcross), clamp);
}

R::ResizeRule rowOnAxis(bool horizontal, R::EdgeRule nearRule, R::EdgeRule farRule,
                        R::EdgeRule sizeRule) {
  if (horizontal) return {kC, nearRule, farRule, sizeRule, kKeep, kKeep, kNone};
  return {kC, kKeep, kKeep, kNone, nearRule, farRule, sizeRule};
}

struct EdgeCase {
  const char* what;
  R::EdgeRule nearRule, farRule, sizeRule;
  int nearEdge, farEdge;
};

constexpr int A = R::RULE_ABSOLUTE, AL = R::RULE_ALIGN, AD = R::RULE_ADJACENT, CE = R::RULE_CENTRE,
              P = R::RULE_PERCENT, NC = R::NO_CONTROL;

// clang-format off
const EdgeCase kEdgeCases[] = {
    {"absolute near", {A, NC, 25}, kNone, kKeep, 25, 65},
    {"absolute 0 is the near edge", {A, NC, 0}, kNone, kKeep, 0, 40},
    {"absolute near below 0 counts back", {A, NC, -100}, kNone, kKeep, 100, 140},
    {"keep near", kKeep, kNone, kKeep, 30, 70},
    {"align near", {AL, kRef, 5}, kNone, kKeep, 105, 145},
    {"align near on the area", {AL, NC, 5}, kNone, kKeep, 5, 45},
    {"adjacent near", {AD, kRef, 4}, kNone, kKeep, 154, 194},
    {"adjacent near GAP_HALF", {AD, kRef, R::GAP_HALF}, kNone, kKeep, 159, 199},
    {"adjacent near GAP_ONE", {AD, kRef, R::GAP_ONE}, kNone, kKeep, 169, 209},
    {"adjacent near GAP_TWO", {AD, kRef, R::GAP_TWO}, kNone, kKeep, 188, 228},
    {"adjacent near -GAP_HALF", {AD, kRef, -R::GAP_HALF}, kNone, kKeep, 141, 181},
    {"adjacent near -GAP_ONE", {AD, kRef, -R::GAP_ONE}, kNone, kKeep, 131, 171},
    {"adjacent near -GAP_TWO", {AD, kRef, -R::GAP_TWO}, kNone, kKeep, 112, 152},
    {"adjacent to the area sets nothing", {AD, NC, 4}, kNone, kKeep, -1, -1},
    {"percent near", {P, kRef, 50}, kNone, kKeep, 50, 90},
    {"percent near of the area", {P, NC, 33}, kNone, kKeep, 66, 106},
    {"unknown kind sets nothing", {7, NC, 5}, {A, NC, 150}, kKeep, 110, 150},
    {"missing reference sets nothing", {AL, kMissing, 5}, {A, NC, 150}, kKeep, 110, 150},
    {"absolute takes a gap token as pixels", {A, NC, R::GAP_ONE}, kKeep, kNone, R::GAP_ONE, 70},

    {"absolute far", kNone, {A, NC, 150}, kKeep, 110, 150},
    {"absolute 0 is the far edge", kNone, {A, NC, 0}, kKeep, 160, 200},
    {"absolute far below 0 counts back", kNone, {A, NC, -100}, kKeep, 60, 100},
    {"keep far", kNone, kKeep, kKeep, 30, 70},
    {"align far", kNone, {AL, kRef, 5}, kKeep, 115, 155},
    {"align far on the area, -GAP_ONE", kNone, {AL, NC, -R::GAP_ONE}, kKeep, 141, 181},
    {"adjacent far", kNone, {AD, kRef, 4}, kKeep, 56, 96},
    {"adjacent far GAP_HALF", kNone, {AD, kRef, R::GAP_HALF}, kKeep, 51, 91},
    {"adjacent far -GAP_TWO", kNone, {AD, kRef, -R::GAP_TWO}, kKeep, 98, 138},
    {"percent far truncates toward 0", kNone, {P, kRef, -3}, kKeep, -44, -4},
    {"percent far of the area", kNone, {P, NC, 50}, kKeep, 60, 100},
    {"centre is no far rule", kKeep, {CE, NC, 0}, kNone, 30, -1},

    {"near known: absolute extent", {A, NC, 25}, kNone, {A, NC, 50}, 25, 75},
    {"near known: align extent", {A, NC, 25}, kNone, {AL, kRef, 0}, 25, 75},
    {"near known: align extent + value", {A, NC, 25}, kNone, {AL, kRef, 7}, 25, 82},
    {"near known: align with the area", {A, NC, 25}, kNone, {AL, NC, 0}, 25, 225},
    {"near known: no gap tokens in extents", {A, NC, 25}, kNone, {AL, kRef, R::GAP_ONE},
     25, 75 + R::GAP_ONE},
    {"near known: percent extent", {A, NC, 25}, kNone, {P, kRef, 50}, 25, 50},
    {"near known: percent of the area", {A, NC, 25}, kNone, {P, NC, 10}, 25, 45},
    {"near known: adjacent is no extent rule", {A, NC, 25}, kNone, {AD, kRef, 4}, 25, -1},
    {"far known: absolute extent", kNone, {A, NC, 150}, {A, NC, 50}, 100, 150},
    {"far known: align extent + value", kNone, {A, NC, 150}, {AL, kRef, 7}, 107, 150},
    {"both known: the extent moves nothing", {A, NC, 25}, {A, NC, 150}, {A, NC, 50}, 25, 150},
    {"neither known: the extent moves nothing", kNone, kNone, {A, NC, 50}, -1, -1},

    {"centre in the area", {CE, NC, 0}, kNone, kKeep, 80, 120},
    {"centre in the area, moved by GAP_HALF", {CE, NC, R::GAP_HALF}, kNone, kKeep, 89, 129},
    {"centre on a control, moved", {CE, kRef, 3}, kNone, kKeep, 108, 148},
    {"centre wider than the reference", {CE, kRef, 0}, kNone, {A, NC, 55}, 98, 152},
    {"centre without an extent", {CE, NC, 0}, kNone, kNone, 100, 100},
    {"centre, then the far rule", {CE, NC, 0}, {A, NC, 150}, kKeep, 80, 150},
};
// clang-format on

TEST(CResizer, EachRuleOnEachEdgeOfBothAxes) {
  for (const bool horizontal : {true, false}) {
    for (const EdgeCase& c : kEdgeCases) {
      SCOPED_TRACE(std::string(c.what) + (horizontal ? " (horizontal)" : " (vertical)"));
      FakeGeometry dialog = engineFixture(horizontal);
      resizeOnAxis(dialog, horizontal, rowOnAxis(horizontal, c.nearRule, c.farRule, c.sizeRule),
                   false);
      EXPECT_EQ(dialog.rects.at(kC), areaRelative(horizontal, {c.nearEdge, c.farEdge}));
    }
  }
}

TEST(CResizer, ClampingKeepsEdgesInsideTheArea) {
  const R::EdgeRule before{AL, NC, -R::GAP_ONE};
  const R::EdgeRule beyond{AL, NC, R::GAP_ONE};
  const std::pair<bool, Span> cases[] = {{false, {-19, 219}}, {true, {0, 200}}};
  for (const bool horizontal : {true, false}) {
    for (const auto& [clamp, expected] : cases) {
      SCOPED_TRACE(testing::Message() << "horizontal " << horizontal << ", clamp " << clamp);
      FakeGeometry dialog = engineFixture(horizontal);
      resizeOnAxis(dialog, horizontal, rowOnAxis(horizontal, before, beyond, kNone), clamp);
      EXPECT_EQ(dialog.rects.at(kC), areaRelative(horizontal, expected));
    }
  }
}

TEST(CResizer, RowsFollowReferencesMovedAboveAndSkipMissingControls) {
  FakeGeometry dialog = engineFixture(true);
  const R::ResizeRule table[] = {
      {kMissing, {A, NC, 0}, kNone, kKeep, kKeep, kKeep, kNone},
      {kRef, {A, NC, 0}, kNone, kKeep, kKeep, kKeep, kNone},
      {kC, {AD, kRef, R::GAP_ONE}, kNone, kKeep, kKeep, kKeep, kNone},
      {R::NO_CONTROL},
  };
  CResizer().resize(dialog, table, 19, 10, place(true, kAlong, kAcross), false);
  EXPECT_EQ(dialog.rects.at(kRef), areaRelative(true, {0, 50}));
  EXPECT_EQ(dialog.rects.at(kC), areaRelative(true, {69, 109}));
  EXPECT_EQ(dialog.events, (std::vector<int>{kRef, kC, kInvalidated}));
}

TEST(CResizer, EmptyTableStillRepaints) {
  FakeGeometry dialog = engineFixture(true);
  const R::ResizeRule table[] = {{R::NO_CONTROL}};
  CResizer().resize(dialog, table, 18, 18, {0, 0, 100, 100}, true);
  EXPECT_EQ(dialog.events, std::vector<int>{kInvalidated});
}

// The settings dialog's controls where its template puts them, in pixels for a dialog font
// of 6 × 13 base units; the client area is then 485 × 359.
std::map<int, Rect> templateRects() {
  const auto px = [](int x, int y, int cx, int cy) {
    const auto h = [](int du) { return (du * 6 + 2) / 4; };
    const auto v = [](int du) { return (du * 13 + 4) / 8; };
    return Rect{h(x), v(y), h(x + cx), v(y + cy)};
  };
  // clang-format off
  return {
      {IDC_URL, px(65, 12, 202, 12)},           {IDC_VIEW, px(269, 12, 34, 12)},
      {IDC_TITLE, px(65, 28, 238, 12)},         {IDC_DESCRIPTION, px(65, 44, 238, 12)},
      {IDC_BASE_URL, px(65, 60, 238, 12)},      {IDC_MAX_ITEMS, px(65, 76, 28, 12)},
      {IDC_PATTERN_GROUP, px(12, 93, 299, 95)}, {IDC_SHORTHAND, px(73, 105, 231, 12)},
      {IDC_SECTION_PATTERN, px(73, 121, 231, 12)}, {IDC_ITEM_PATTERN_1, px(73, 137, 231, 12)},
      {IDC_ITEM_PATTERN_2, px(73, 151, 231, 12)},  {IDC_ITEM_PATTERN_3, px(73, 167, 231, 12)},
      {IDC_PREVIEW, px(12, 195, 50, 14)},       {IDC_VIEW_IN_BROWSER, px(65, 195, 82, 14)},
      {IDC_LOAD, px(149, 195, 50, 14)},         {IDC_SAVE, px(205, 195, 50, 14)},
      {IDCANCEL, px(261, 195, 50, 14)},
  };
  // clang-format on
}

// Where the layout puts each control, built from the dialog's stated outcomes.
std::map<int, Rect> expectedLayout(const std::map<int, Rect>& tpl, const Rect& area) {
  const auto farCorner = [&](int id, int right, int bottom) {
    const Rect& r = tpl.at(id);
    return Rect{right - r.width(), bottom - r.height(), right, bottom};
  };
  const auto bottomLeft = [&](int id, int left) {
    const Rect& r = tpl.at(id);
    return Rect{left, area.bottom - r.height(), left + r.width(), area.bottom};
  };
  const auto stretched = [&](int id, int right) {
    return Rect{tpl.at(id).left, tpl.at(id).top, right, tpl.at(id).bottom};
  };
  std::map<int, Rect> out = tpl;
  out[IDCANCEL] = farCorner(IDCANCEL, area.right, area.bottom);
  out[IDC_SAVE] = farCorner(IDC_SAVE, out[IDCANCEL].left - 9, area.bottom);
  out[IDC_LOAD] = farCorner(IDC_LOAD, out[IDC_SAVE].left - 9, area.bottom);
  out[IDC_PREVIEW] = bottomLeft(IDC_PREVIEW, area.left);
  out[IDC_VIEW_IN_BROWSER] = bottomLeft(IDC_VIEW_IN_BROWSER, out[IDC_PREVIEW].right + 4);
  out[IDC_VIEW] = farCorner(IDC_VIEW, area.right, area.top + tpl.at(IDC_VIEW).height());
  out[IDC_URL] = stretched(IDC_URL, out[IDC_VIEW].left - 4);
  for (const int id : {IDC_TITLE, IDC_DESCRIPTION, IDC_BASE_URL})
    out[id] = stretched(id, area.right);
  out[IDC_PATTERN_GROUP] =
      Rect{area.left, tpl.at(IDC_PATTERN_GROUP).top, area.right, tpl.at(IDC_PATTERN_GROUP).bottom};
  for (const int id : {IDC_SHORTHAND, IDC_SECTION_PATTERN, IDC_ITEM_PATTERN_1, IDC_ITEM_PATTERN_2,
                       IDC_ITEM_PATTERN_3}) {
    out[id] = stretched(id, out[IDC_PATTERN_GROUP].right - 9);
  }
  for (auto& [id, r] : out) {
    if (id == IDC_MAX_ITEMS) continue;  // not in the table, so never clamped
    r = Rect{std::max(r.left, area.left), std::max(r.top, area.top), std::min(r.right, area.right),
             std::min(r.bottom, area.bottom)};
  }
  return out;
}

TEST(DialogLayout, FollowsTheWindowAtEverySize) {
  FakeGeometry dialog;
  dialog.rects = templateRects();
  const Size smallest{485, 359};
  // First size, wider, wider and taller, first again; then below the first size, where the
  // controls stay as the first size has them, and out again, where no squeeze of the
  // smaller sizes is left.
  const std::pair<int, int> sizes[] = {{485, 359}, {785, 359}, {885, 459}, {485, 359}, {220, 359},
                                       {100, 100}, {900, 480}, {1000, 90}, {900, 480}};
  for (const auto& [width, height] : sizes) {
    SCOPED_TRACE(testing::Message() << width << " x " << height);
    dialog.client = Rect{0, 0, width, height};
    dialog.events.clear();
    layoutDialog(dialog, smallest);
    const Rect area{18, 18, std::max(width, smallest.width) - 18,
                    std::max(height, smallest.height) - 18};
    EXPECT_EQ(dialog.rects, expectedLayout(templateRects(), area));
    EXPECT_EQ(dialog.events.size(), 17u);
    EXPECT_EQ(dialog.events.back(), kInvalidated);
  }
}

}  // namespace
}  // namespace settingsEditor
