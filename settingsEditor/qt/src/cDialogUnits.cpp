#include "settingsEditor/qt/src/cDialogUnits.h"

#include <QFontMetrics>

namespace settingsEditor::qt {

namespace {

// units * base / divisor, rounded half away from zero.
int scale(int units, int base, int divisor) {
  const long long product = static_cast<long long>(units) * base;
  const long long half = divisor / 2;
  return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

int averageLetterWidth(const QFontMetrics& metrics) {
  const int width = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return (width / 26 + 1) / 2;
}

}  // namespace

CDialogUnits::CDialogUnits(const QFont& font)
    : m_charWidth(averageLetterWidth(QFontMetrics(font))),
      m_charHeight(QFontMetrics(font).height()) {}

int CDialogUnits::toPixelsX(int units) const {
  return scale(units, m_charWidth, 4);
}

int CDialogUnits::toPixelsY(int units) const {
  return scale(units, m_charHeight, 8);
}

QRect CDialogUnits::toPixels(int x, int y, int width, int height) const {
  return QRect(toPixelsX(x), toPixelsY(y), toPixelsX(width), toPixelsY(height));
}

}  // namespace settingsEditor::qt
