// Turns a PNG into the pixels the window icon is made of: the width and height as two
// native-endian 32-bit words, then the rows of premultiplied ARGB32 pixels that Qt makes of
// the PNG for a pixmap. The window wraps them without decoding anything at start-up.
// Usage: iconPixels <png> <output>; fails (exit 1) when the PNG cannot be read or the output
// written.

#include <QFile>
#include <QImage>
#include <cstdint>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: iconPixels <png> <output>\n");
    return 1;
  }
  const QImage image =
      QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) {
    std::fprintf(stderr, "iconPixels: cannot read %s\n", argv[1]);
    return 1;
  }
  QFile out(QString::fromLocal8Bit(argv[2]));
  const std::uint32_t size[2] = {static_cast<std::uint32_t>(image.width()),
                                 static_cast<std::uint32_t>(image.height())};
  bool written = out.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                 out.write(reinterpret_cast<const char*>(size), sizeof size) == sizeof size;
  for (int y = 0; written && y < image.height(); ++y) {
    const qint64 rowBytes = static_cast<qint64>(image.width()) * 4;
    written =
        out.write(reinterpret_cast<const char*>(image.constScanLine(y)), rowBytes) == rowBytes;
  }
  if (!written || !out.flush()) {
    std::fprintf(stderr, "iconPixels: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
