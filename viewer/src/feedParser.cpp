#include "viewer/src/feedParser.h"

#include <QXmlStreamReader>

#include "viewer/src/istring.h"

namespace viewer {

namespace {

using internal::message;

QString elementText(QXmlStreamReader& xml) {
  return xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
}

FeedItem readItem(QXmlStreamReader& xml) {
  FeedItem item;
  while (xml.readNextStartElement()) {
    const QStringView name = xml.name();
    if (name == u"title") {
      item.title = elementText(xml);
    } else if (name == u"link") {
      item.link = elementText(xml);
    } else if (name == u"description") {
      item.description = elementText(xml);
    } else if (name == u"pubDate") {
      item.date = elementText(xml);
    } else if (name == u"author" || (name == u"creator" && item.author.isEmpty())) {
      item.author = elementText(xml);
    } else if (name == u"enclosure") {
      item.image = xml.attributes().value(QLatin1StringView("url")).toString().trimmed();
      xml.skipCurrentElement();
    } else {
      xml.skipCurrentElement();
    }
  }
  return item;
}

void readChannel(QXmlStreamReader& xml, Feed& feed) {
  static const QString kWarning = QStringLiteral("warning:");
  while (!xml.atEnd()) {
    switch (xml.readNext()) {
      case QXmlStreamReader::Comment: {
        const QString comment = xml.text().toString().trimmed();
        if (comment.startsWith(kWarning)) feed.warnings << comment.mid(kWarning.size()).trimmed();
        break;
      }
      case QXmlStreamReader::StartElement: {
        const QStringView name = xml.name();
        if (name == u"item") {
          feed.items.push_back(readItem(xml));
        } else if (name == u"title") {
          feed.title = elementText(xml);
        } else if (name == u"link") {
          feed.link = elementText(xml);
        } else if (name == u"description") {
          feed.description = elementText(xml);
        } else {
          xml.skipCurrentElement();
        }
        break;
      }
      case QXmlStreamReader::EndElement:
        return;
      default:
        break;
    }
  }
}

}  // namespace

bool parseFeed(QStringView source, const QString& name, Feed& feed, QString& problem) {
  QXmlStreamReader xml(source.toString());
  bool channel = false;
  QString root;
  if (xml.readNextStartElement()) {
    root = xml.qualifiedName().toString();
    if (root != u"rss") {
      problem = message(14309, {name, root});
      return false;
    }
    while (xml.readNextStartElement()) {
      if (xml.name() == u"channel" && !channel) {
        channel = true;
        readChannel(xml, feed);
      } else {
        xml.skipCurrentElement();
      }
    }
  }
  // The rest of the file too: a feed cut short ends in an error here.
  while (!xml.atEnd()) xml.readNext();
  if (xml.hasError()) {
    problem = message(14308, {name, QString::number(xml.lineNumber()),
                              QString::number(xml.columnNumber() + 1), xml.errorString()});
    return false;
  }
  if (!channel) {
    problem = message(14310, {name});
    return false;
  }
  return true;
}

}  // namespace viewer
