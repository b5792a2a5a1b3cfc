#include "viewer/src/viewerInput.h"

#include <QFile>
#include <QStringDecoder>

#include "viewer/src/istring.h"

namespace viewer {

namespace {

using internal::message;

constexpr double kMegabyte = 1024.0 * 1024.0;

QString megabytes(qint64 bytes) {
  return QString::number(bytes / kMegabyte, 'f', 1);
}

template <typename Text>
QString lineOf(const Text& text, qsizetype position) {
  return QString::number(text.first(position).count('\n') + 1);
}

ViewerInput broken(QString problem, QString text = {}) {
  ViewerInput input;
  input.problem = std::move(problem);
  input.text = std::move(text);
  return input;
}

bool looksLikeXml(const QString& text) {
  for (const QChar c : text) {
    if (!c.isSpace()) return c == u'<';
  }
  return false;
}

}  // namespace

ViewerInput readViewerInput(const QString& path, qint64 maxBytes, int firstItems) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return broken(message(14303, {path, file.errorString()}));
  // A pipe or a file still growing tells no size: the read itself is bounded too.
  if (file.size() > maxBytes)
    return broken(message(14305, {path, megabytes(file.size()), megabytes(maxBytes)}));
  const QByteArray bytes = file.read(maxBytes + 1);
  if (bytes.size() > maxBytes) {
    return broken(message(14305, {path, megabytes(bytes.size()), megabytes(maxBytes)}));
  }
  if (bytes.isEmpty()) return broken(message(14304, {path}));
  if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0) {
    return broken(message(14307, {path, lineOf(QByteArrayView(bytes), nul)}));
  }
  QStringDecoder decoder(QStringDecoder::Utf8);
  QString text = decoder(bytes);
  if (decoder.hasError()) {
    return broken(message(
        14306, {path, lineOf(QStringView(text),
                             std::max<qsizetype>(0, text.indexOf(QChar::ReplacementCharacter)))}));
  }
  ViewerInput input;
  if (!looksLikeXml(text)) {
    input.kind = ViewerInput::Kind::Text;
  } else {
    auto reader = std::make_unique<FeedReader>(text, path);
    const bool more = reader->read(input.feed, firstItems);
    input.problem = reader->problem();
    if (input.problem.isEmpty()) {
      input.kind = ViewerInput::Kind::Feed;
      if (more) input.rest = std::move(reader);
    } else {
      input.feed = {};
    }
  }
  input.text = std::move(text);
  return input;
}

}  // namespace viewer
