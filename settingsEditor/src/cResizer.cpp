#include "settingsEditor/src/cResizer.h"

#include <algorithm>

namespace settingsEditor {

static_assert(sizeof(CResizer::ResizeRule) == 19 * sizeof(std::int32_t),
              "a table row is nineteen integers");

namespace {

CResizer::Axis startAxis(bool horizontal, int gap, int extent, int currentNear, int currentFar) {
  CResizer::Axis axis;
  axis.horizontal = horizontal;
  axis.gap = gap;
  axis.extent = extent;
  axis.currentNear = currentNear;
  axis.currentFar = currentFar;
  axis.currentSize = currentFar - currentNear;
  return axis;
}

// A pixel count, or the gap that a gap token stands for.
int gapValue(std::int32_t value, int gap) {
  switch (value) {
    case CResizer::GAP_HALF:
      return gap / 2;
    case CResizer::GAP_ONE:
      return gap;
    case CResizer::GAP_TWO:
      return 2 * gap;
    case -CResizer::GAP_HALF:
      return -(gap / 2);
    case -CResizer::GAP_ONE:
      return -gap;
    case -CResizer::GAP_TWO:
      return -2 * gap;
    default:
      return value;
  }
}

// Wide enough that no table value overflows the product.
int percentOf(int base, std::int32_t value) {
  return static_cast<int>(std::int64_t{base} * value / 100);
}

void setNear(CResizer::Axis& axis, int value) {
  axis.nearEdge = value;
  axis.nearKnown = true;
}

void setFar(CResizer::Axis& axis, int value) {
  axis.farEdge = value;
  axis.farKnown = true;
}

void clampToExtent(CResizer::Axis& axis) {
  axis.nearEdge = std::max(axis.nearEdge, 0);
  axis.farEdge = std::min(axis.farEdge, axis.extent);
}

}  // namespace

void CResizer::resize(ControlGeometry& dialog, const ResizeRule* table, int xGap, int yGap,
                      Rect area, bool clampToArea) {
  for (const ResizeRule* row = table; row->control != NO_CONTROL; ++row) {
    resizeControl(dialog, *row, xGap, yGap, area, clampToArea);
  }
  dialog.invalidate();
}

void CResizer::resizeControl(ControlGeometry& dialog, const ResizeRule& row, int xGap, int yGap,
                             Rect area, bool clampToArea) {
  const std::optional<Rect> current = dialog.controlRect(row.control);
  if (!current) return;

  area_ = area;
  horizontal_ =
      startAxis(true, xGap, area.width(), current->left - area.left, current->right - area.left);
  vertical_ =
      startAxis(false, yGap, area.height(), current->top - area.top, current->bottom - area.top);

  // Centring needs the extent it centres.
  if (row.left.kind == RULE_CENTRE) {
    calcWidth(dialog, row.control, row);
    calcLeft(dialog, row.control, row);
    calcRight(dialog, row.control, row);
  } else {
    calcLeft(dialog, row.control, row);
    calcRight(dialog, row.control, row);
    calcWidth(dialog, row.control, row);
  }
  if (row.top.kind == RULE_CENTRE) {
    calcHeight(dialog, row.control, row);
    calcTop(dialog, row.control, row);
    calcBottom(dialog, row.control, row);
  } else {
    calcTop(dialog, row.control, row);
    calcBottom(dialog, row.control, row);
    calcHeight(dialog, row.control, row);
  }

  if (clampToArea) {
    clampToExtent(horizontal_);
    clampToExtent(vertical_);
  }
  dialog.moveControl(row.control,
                     Rect{area.left + horizontal_.nearEdge, area.top + vertical_.nearEdge,
                          area.left + horizontal_.farEdge, area.top + vertical_.farEdge});
}

void CResizer::calcLeft(const ControlGeometry& dialog, int, const ResizeRule& row) {
  calcNear(dialog, row.left, horizontal_);
}

void CResizer::calcRight(const ControlGeometry& dialog, int, const ResizeRule& row) {
  calcFar(dialog, row.right, horizontal_);
}

void CResizer::calcWidth(const ControlGeometry& dialog, int, const ResizeRule& row) {
  calcSize(dialog, row.width, horizontal_);
}

void CResizer::calcTop(const ControlGeometry& dialog, int, const ResizeRule& row) {
  calcNear(dialog, row.top, vertical_);
}

void CResizer::calcBottom(const ControlGeometry& dialog, int, const ResizeRule& row) {
  calcFar(dialog, row.bottom, vertical_);
}

void CResizer::calcHeight(const ControlGeometry& dialog, int, const ResizeRule& row) {
  calcSize(dialog, row.height, vertical_);
}

void CResizer::calcNear(const ControlGeometry& dialog, const EdgeRule& rule, Axis& axis) const {
  switch (rule.kind) {
    case RULE_ABSOLUTE:
      setNear(axis, rule.value < 0 ? axis.extent + rule.value : rule.value);
      return;
    case RULE_KEEP:
      setNear(axis, axis.currentNear);
      return;
    case RULE_CENTRE:
      centre(dialog, rule, axis);
      return;
    default:
      break;
  }
  const std::optional<Span> span = referenceSpan(dialog, rule, axis);
  if (!span) return;
  switch (rule.kind) {
    case RULE_ALIGN:
      setNear(axis, span->nearEdge + gapValue(rule.value, axis.gap));
      return;
    case RULE_ADJACENT:
      setNear(axis, span->farEdge + gapValue(rule.value, axis.gap));
      return;
    case RULE_PERCENT:
      setNear(axis,
              percentOf(rule.reference == NO_CONTROL ? axis.extent : span->nearEdge, rule.value));
      return;
    default:
      return;
  }
}

void CResizer::calcFar(const ControlGeometry& dialog, const EdgeRule& rule, Axis& axis) const {
  switch (rule.kind) {
    case RULE_ABSOLUTE:
      setFar(axis, rule.value > 0 ? rule.value : axis.extent + rule.value);
      return;
    case RULE_KEEP:
      setFar(axis, axis.currentFar);
      return;
    default:
      break;
  }
  const std::optional<Span> span = referenceSpan(dialog, rule, axis);
  if (!span) return;
  switch (rule.kind) {
    case RULE_ALIGN:
      setFar(axis, span->farEdge + gapValue(rule.value, axis.gap));
      return;
    case RULE_ADJACENT:
      setFar(axis, span->nearEdge - gapValue(rule.value, axis.gap));
      return;
    case RULE_PERCENT:
      setFar(axis, percentOf(span->farEdge, rule.value));
      return;
    default:
      return;
  }
}

void CResizer::calcSize(const ControlGeometry& dialog, const EdgeRule& rule, Axis& axis) const {
  int size = 0;
  if (rule.kind == RULE_ABSOLUTE) {
    size = rule.value;
  } else if (rule.kind == RULE_KEEP) {
    size = axis.currentSize;
  } else if (rule.kind == RULE_ALIGN || rule.kind == RULE_PERCENT) {
    const std::optional<Span> span = referenceSpan(dialog, rule, axis);
    if (!span) return;
    size = span->farEdge - span->nearEdge;
    if (rule.kind == RULE_PERCENT) size = percentOf(size, rule.value);
  } else {
    return;
  }

  const int shift = rule.kind == RULE_ALIGN ? rule.value : 0;
  if (axis.nearKnown && !axis.farKnown) {
    setFar(axis, axis.nearEdge + size + shift);
  } else if (!axis.nearKnown && axis.farKnown) {
    setNear(axis, axis.farEdge - size + shift);
  } else {
    axis.size = size;
    axis.sizeKnown = true;
  }
}

void CResizer::centre(const ControlGeometry& dialog, const EdgeRule& rule, Axis& axis) const {
  const std::optional<Span> span = referenceSpan(dialog, rule, axis);
  if (!span) return;
  const int offset = gapValue(rule.value, axis.gap);
  const int margin = (span->farEdge - span->nearEdge - axis.size) / 2;
  setNear(axis, offset + span->nearEdge + margin);
  setFar(axis, offset + span->farEdge - margin);
}

std::optional<CResizer::Span> CResizer::referenceSpan(const ControlGeometry& dialog,
                                                      const EdgeRule& rule,
                                                      const Axis& axis) const {
  if (rule.reference == NO_CONTROL) {
    if (rule.kind == RULE_ADJACENT) return std::nullopt;
    return Span{0, axis.extent};
  }
  const std::optional<Rect> rect = dialog.controlRect(rule.reference);
  if (!rect) return std::nullopt;
  if (axis.horizontal) return Span{rect->left - area_.left, rect->right - area_.left};
  return Span{rect->top - area_.top, rect->bottom - area_.top};
}

}  // namespace settingsEditor
