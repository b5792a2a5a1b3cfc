#pragma once
// What the layout engine needs of a window: its client area and where its controls are.
// Coordinates are pixels in the window's client area; a rectangle's right and bottom lie
// one past its last pixel column and row. Called on the thread that owns the window.

#include <optional>

namespace settingsEditor {

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

class ControlGeometry {
 public:
  virtual ~ControlGeometry() = default;

  virtual Rect clientRect() const = 0;
  // The control's rectangle in client coordinates; none when the window has no control `id`.
  virtual std::optional<Rect> controlRect(int id) const = 0;
  // Moves and sizes control `id` (one that controlRect() found) and repaints it.
  virtual void moveControl(int id, const Rect& rect) = 0;
  // Asks for the whole window to be repainted, without erasing its background first.
  virtual void invalidate() = 0;
};

}  // namespace settingsEditor
