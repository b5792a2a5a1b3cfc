#pragma once
// Lays a window's controls out again after the window changed its size. A constant table
// says, row by row, how each control's edges and extents follow a layout area or other
// controls; the rows are evaluated from top to bottom and each control is moved at once, so a
// row may refer to a control that an earlier row placed and gets its new position.
//
//     using R = CResizer;
//     const R::ResizeRule table[] = {
//       // Close keeps its size in the area's bottom-right corner.
//       {IDCANCEL, {}, {R::RULE_ABSOLUTE}, {R::RULE_KEEP}, {}, {R::RULE_ABSOLUTE}, {R::RULE_KEEP}},
//       // Save keeps its size, half a gap left of Close.
//       {IDC_SAVE, {}, {R::RULE_ADJACENT, IDCANCEL, R::GAP_HALF}, {R::RULE_KEEP},
//        {}, {R::RULE_ABSOLUTE}, {R::RULE_KEEP}},
//       {R::NO_CONTROL},
//     };
//     CResizer().resize(dialog, table, 18, 18, area, true);
//
// Coordinates in a table are pixels relative to the area's top-left corner; "extent" is the
// area's width for the horizontal rules and its height for the vertical ones, "near" edges
// are left and top, "far" edges right and bottom. Divisions truncate toward zero.
//
// What goes wrong with a poor table is confined to the control of that row:
// - a row whose control the window does not have is skipped;
// - an edge that no rule of its row sets is -1 and the control is moved with it: a table
//   sets two of left, right and width, and two of top, bottom and height;
// - a rule whose reference control does not exist sets nothing;
// - an unknown rule kind is RULE_NONE.

#include <cstdint>
#include <optional>

#include "settingsEditor/src/controlGeometry.h"

namespace settingsEditor {

class CResizer {
 public:
  // The reference of a rule that follows the layout area itself, and the control id that
  // ends a table.
  static constexpr std::int32_t NO_CONTROL = 0x7FFFFFFF;

  // How an edge or extent follows its reference (the area when the reference is NO_CONTROL).
  enum RuleKind : std::int32_t {
    RULE_NONE = 0,  // sets nothing
    // Near edge: the value, counted back from the far edge when negative (0 is the near
    // edge). Far edge: the value, counted back from the far edge when negative or 0.
    // Extent: the value.
    RULE_ABSOLUTE = 1,
    RULE_KEEP = 2,  // where the control is now
    // The reference's same edge + value (the area's: 0 or the extent); an extent is the
    // reference's, see calcWidth().
    RULE_ALIGN = 3,
    // Near edge: the reference's far edge + value; far edge: its near edge - value. Only a
    // real control can be a reference; extents ignore it.
    RULE_ADJACENT = 4,
    // Near edge only: centred on the reference's span (the area's whole extent), moved by
    // the value; sets both edges and needs the extent first.
    RULE_CENTRE = 5,
    // The reference's same edge or extent × value / 100; for the area, its extent × value /
    // 100 on every edge and extent.
    RULE_PERCENT = 6,
  };

  // In RULE_ALIGN, RULE_ADJACENT and RULE_CENTRE edge rules (never in extent rules or other
  // kinds) a value may be one of these instead of pixels: the horizontal gap in left and
  // right rules, the vertical one in top and bottom rules.
  static constexpr std::int32_t GAP_HALF = 0x7F000000;  // gap / 2
  static constexpr std::int32_t GAP_ONE = 0x7F000001;   // gap
  static constexpr std::int32_t GAP_TWO = 0x7F000002;   // 2 × gap
  // -GAP_HALF, -GAP_ONE and -GAP_TWO are the same gaps negated.

  struct EdgeRule {
    std::int32_t kind = RULE_NONE;
    std::int32_t reference = NO_CONTROL;
    std::int32_t value = 0;
  };

  // One control; its rules are evaluated in the order that resizeControl() gives.
  struct ResizeRule {
    std::int32_t control = NO_CONTROL;
    EdgeRule left{}, right{}, width{};
    EdgeRule top{}, bottom{}, height{};
  };

  // The working state of one axis of the row being laid out, area-relative: left, right and
  // width for the horizontal axis, top, bottom and height for the vertical one.
  struct Axis {
    bool horizontal = true;
    int gap = 0;
    int extent = 0;  // the area's width or height
    int currentNear = 0;
    int currentFar = 0;
    int currentSize = 0;
    int nearEdge = -1;
    int farEdge = -1;
    int size = -1;
    bool nearKnown = false;
    bool farKnown = false;
    bool sizeKnown = false;
  };

  CResizer() = default;
  virtual ~CResizer() = default;
  CResizer(const CResizer&) = delete;
  CResizer& operator=(const CResizer&) = delete;

  // Lays out every row of `table` up to the one whose control is NO_CONTROL, then asks for
  // the whole window to be repainted (also when the table has no other row). `area` is in
  // client coordinates.
  virtual void resize(ControlGeometry& dialog, const ResizeRule* table, int xGap, int yGap,
                      Rect area, bool clampToArea);

  // Lays out one row: reads where the control and the references are now, evaluates the
  // horizontal rules (left, right, width; width first when left is RULE_CENTRE), then the
  // vertical ones likewise, keeps the edges inside the area when `clampToArea` is set, and
  // moves the control. A control the window does not have is left alone.
  virtual void resizeControl(ControlGeometry& dialog, const ResizeRule& row, int xGap, int yGap,
                             Rect area, bool clampToArea);

  // Each evaluates one rule of `row` for `control` into the row's working state.
  virtual void calcLeft(const ControlGeometry& dialog, int control, const ResizeRule& row);
  virtual void calcRight(const ControlGeometry& dialog, int control, const ResizeRule& row);
  // The rule gives an extent w: RULE_ABSOLUTE its value, RULE_KEEP the control's, RULE_ALIGN
  // the reference's, RULE_PERCENT the reference's × value / 100; other kinds do nothing.
  // When only one edge is known, the other is put w away from it (for RULE_ALIGN also moved
  // by the value: right = left + w + value, left = right - w + value); otherwise w becomes
  // the known width and no edge changes.
  virtual void calcWidth(const ControlGeometry& dialog, int control, const ResizeRule& row);
  virtual void calcTop(const ControlGeometry& dialog, int control, const ResizeRule& row);
  virtual void calcBottom(const ControlGeometry& dialog, int control, const ResizeRule& row);
  virtual void calcHeight(const ControlGeometry& dialog, int control, const ResizeRule& row);

 protected:
  Rect area_;
  Axis horizontal_;
  Axis vertical_;

 private:
  struct Span {
    int nearEdge;
    int farEdge;
  };

  void calcNear(const ControlGeometry& dialog, const EdgeRule& rule, Axis& axis) const;
  void calcFar(const ControlGeometry& dialog, const EdgeRule& rule, Axis& axis) const;
  void calcSize(const ControlGeometry& dialog, const EdgeRule& rule, Axis& axis) const;
  void centre(const ControlGeometry& dialog, const EdgeRule& rule, Axis& axis) const;
  // The edges of the rule's reference on `axis`, area-relative; the area's own (0 to the
  // extent) for NO_CONTROL; none when the window has no such control or the rule needs a
  // real one.
  std::optional<Span> referenceSpan(const ControlGeometry& dialog, const EdgeRule& rule,
                                    const Axis& axis) const;
};

}  // namespace settingsEditor
