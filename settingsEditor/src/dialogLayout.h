#pragma once
// Where the settings dialog's controls go when the window changes its size. The layout area
// is the client area less 18 pixels on every side, with gaps of 18 pixels, and no control
// leaves it:
// - Close sits in the area's bottom-right corner; Save and Load line up to its left with 9
//   pixels between neighbours; Preview sits in the bottom-left corner with the "View in
//   browser" check box 4 pixels to its right. These buttons keep their sizes.
// - View sits in the top-right corner; the URL field reaches to 4 pixels before it; Title,
//   Description and Base URL reach to the area's right edge.
// - The pattern group box spans the area's width, and the pattern fields reach to 9 pixels
//   inside its right edge.
// - Every other edge stays where it is: the fields' left edges, all vertical positions but
//   the bottom row's and View's, the labels and the Max items field.
// Each layout starts from where the controls are, so it may run on every size change. A
// client area below the first size is laid out as if it had that size: clamped to a smaller
// area, the edges that stay where they are would be lost to every later layout.

#include "settingsEditor/src/controlGeometry.h"

namespace settingsEditor {

// Moves the dialog's controls for its current client area, widened and heightened to at
// least `smallest` (the client area's first size), and repaints the whole window.
void layoutDialog(ControlGeometry& dialog, Size smallest);

}  // namespace settingsEditor
