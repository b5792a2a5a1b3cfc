#pragma once
// Reads RSS 2.0 text into a Feed, a number of items at a time, so that a window can show
// the first items of a long feed before the rest is read. One thread at a time.
//
// A comment inside <channel> that reads `warning: TEXT` is one warning of the feed. An
// item's author is <author>, else <dc:creator>; its image is the URL of its <enclosure>.
// Elements the viewer does not show are skipped whatever they hold.

#include <QString>
#include <QXmlStreamReader>

#include "viewer/src/feed.h"

namespace viewer {

class FeedReader {
 public:
  // `name` is the file's name in the problem line.
  FeedReader(const QString& xml, QString name);

  // Reads on until `maxItems` more items (a negative number: all; never 0) have been appended to
  // `feed.items` or the text ends; the channel's other fields and its warnings are set as
  // they come. Returns false once there is nothing more to read: when the text has ended
  // well, or when it is broken, which problem() tells.
  bool read(Feed& feed, int maxItems);

  // Empty, or one line from the string table saying what is wrong with the file.
  const QString& problem() const { return problem_; }

 private:
  enum class Place { BeforeRoot, InRss, InChannel, AfterRss };

  void readRoot();
  void readInRss();
  void readInChannel(Feed& feed, int maxItems);
  void finish();

  QXmlStreamReader xml_;
  QString name_;
  Place place_ = Place::BeforeRoot;
  bool channel_ = false;
  int itemsRead_ = 0;
  QString problem_;
};

}  // namespace viewer
