#pragma once
// Dialog units: the font-relative measure in which the dialog's template places its
// controls. A horizontal unit is a quarter of the font's average character width (that of
// the 52 Latin letters, rounded), a vertical unit an eighth of its character height; each
// coordinate is converted on its own and rounded to the nearest pixel.

#include <QFont>
#include <QRect>

namespace settingsEditor::qt {

class CDialogUnits {
 public:
  explicit CDialogUnits(const QFont& font);

  int averageCharWidth() const { return m_charWidth; }
  int charHeight() const { return m_charHeight; }

  int toPixelsX(int units) const;
  int toPixelsY(int units) const;
  QRect toPixels(int x, int y, int width, int height) const;

 private:
  int m_charWidth;
  int m_charHeight;
};

}  // namespace settingsEditor::qt
