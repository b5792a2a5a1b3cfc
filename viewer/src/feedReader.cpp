#include "viewer/src/feedReader.h"

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

}  // namespace

FeedReader::FeedReader(const QString& xml, QString name) : xml_(xml), name_(std::move(name)) {}

bool FeedReader::read(Feed& feed, int maxItems) {
  itemsRead_ = 0;
  while (place_ != Place::AfterRss && problem_.isEmpty() && !xml_.hasError() &&
         (maxItems < 0 || itemsRead_ < maxItems)) {
    switch (place_) {
      case Place::BeforeRoot:
        readRoot();
        break;
      case Place::InRss:
        readInRss();
        break;
      case Place::InChannel:
        readInChannel(feed, maxItems);
        break;
      case Place::AfterRss:
        break;
    }
  }
  if (place_ == Place::AfterRss || xml_.hasError()) finish();
  return problem_.isEmpty() && place_ != Place::AfterRss;
}

void FeedReader::readRoot() {
  if (!xml_.readNextStartElement()) {
    place_ = Place::AfterRss;
    return;
  }
  const QString root = xml_.qualifiedName().toString();
  if (root != u"rss") {
    problem_ = message(14309, {name_, root});
    return;
  }
  place_ = Place::InRss;
}

void FeedReader::readInRss() {
  if (!xml_.readNextStartElement()) {
    place_ = Place::AfterRss;
  } else if (xml_.name() == u"channel" && !channel_) {
    channel_ = true;
    place_ = Place::InChannel;
  } else {
    xml_.skipCurrentElement();
  }
}

void FeedReader::readInChannel(Feed& feed, int maxItems) {
  static const QString kWarning = QStringLiteral("warning:");
  while (!xml_.atEnd() && (maxItems < 0 || itemsRead_ < maxItems)) {
    switch (xml_.readNext()) {
      case QXmlStreamReader::Comment: {
        const QString comment = xml_.text().toString().trimmed();
        if (comment.startsWith(kWarning)) feed.warnings << comment.mid(kWarning.size()).trimmed();
        break;
      }
      case QXmlStreamReader::StartElement: {
        const QStringView name = xml_.name();
        if (name == u"item") {
          feed.items.push_back(readItem(xml_));
          ++itemsRead_;
        } else if (name == u"title") {
          feed.title = elementText(xml_);
        } else if (name == u"link") {
          feed.link = elementText(xml_);
        } else if (name == u"description") {
          feed.description = elementText(xml_);
        } else {
          xml_.skipCurrentElement();
        }
        break;
      }
      case QXmlStreamReader::EndElement:
        place_ = Place::InRss;
        return;
      default:
        break;
    }
  }
}

void FeedReader::finish() {
  // The rest of the text too: a feed cut short ends in an error here.
  while (!xml_.atEnd()) xml_.readNext();
  if (!problem_.isEmpty()) return;
  if (xml_.hasError()) {
    problem_ = message(14308, {name_, QString::number(xml_.lineNumber()),
                               QString::number(xml_.columnNumber() + 1), xml_.errorString()});
  } else if (!channel_) {
    problem_ = message(14310, {name_});
  }
}

}  // namespace viewer
