#pragma once
// A feed as the viewer shows it: the channel, its items in the file's order, and the
// warnings that the plug-in wrote as comments into the channel.

#include <QString>
#include <QStringList>
#include <vector>

namespace viewer {

struct FeedItem {
  QString title, link, date, author, image;
  QString description;  // HTML, as the feed carries it
};

struct Feed {
  QString title, link, description;
  std::vector<FeedItem> items;
  QStringList warnings;
};

}  // namespace viewer
