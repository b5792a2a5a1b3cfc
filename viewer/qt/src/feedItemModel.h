#pragma once
// The items of a feed as table rows: title, link, date, author, image. Sorting reorders the
// rows, never the items; sorting by column -1 brings back the feed's own order. Dates sort
// by the time they name (RFC 822), rows without a readable date last. GUI thread only.

#include <QAbstractTableModel>
#include <vector>

#include "viewer/src/feed.h"

namespace viewer::qt {

class FeedItemModel : public QAbstractTableModel {
 public:
  enum Column { Title, Link, Date, Author, Image, ColumnCount };

  explicit FeedItemModel(QObject* parent = nullptr);

  // Replaces the rows by `items`, in their order.
  void setItems(std::vector<FeedItem> items);
  // Adds rows for `items`, where the last sort puts them.
  void appendItems(std::vector<FeedItem>& items);
  const FeedItem& itemAt(int row) const { return items_[order_[row]]; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  static const QString& text(const FeedItem& item, int column);

 private:
  void sortRows(int column, Qt::SortOrder order);
  const std::vector<qint64>& dateKeys();

  std::vector<FeedItem> items_;
  std::vector<int> order_;     // row -> index into items_
  std::vector<qint64> dates_;  // per item, made at the first sort by date
  int sortColumn_ = -1;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace viewer::qt
