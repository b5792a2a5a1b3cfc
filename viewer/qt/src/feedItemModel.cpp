#include "viewer/qt/src/feedItemModel.h"

#include <QDateTime>
#include <algorithm>
#include <limits>
#include <numeric>

#include "viewer/src/istring.h"

namespace viewer::qt {

namespace {

constexpr int kHeaderIds[FeedItemModel::ColumnCount] = {14312, 14313, 14314, 14315, 14316};
constexpr qint64 kNoDate = std::numeric_limits<qint64>::max();

}  // namespace

FeedItemModel::FeedItemModel(QObject* parent) : QAbstractTableModel(parent) {}

void FeedItemModel::setItems(std::vector<FeedItem> items) {
  beginResetModel();
  items_ = std::move(items);
  order_.resize(items_.size());
  std::iota(order_.begin(), order_.end(), 0);
  dates_.clear();
  sortColumn_ = -1;
  endResetModel();
}

void FeedItemModel::appendItems(std::vector<FeedItem>& items) {
  if (items.empty()) return;
  const int first = static_cast<int>(items_.size());
  beginInsertRows({}, first, first + static_cast<int>(items.size()) - 1);
  for (FeedItem& item : items) {
    order_.push_back(static_cast<int>(items_.size()));
    items_.push_back(std::move(item));
  }
  items.clear();
  endInsertRows();
  if (sortColumn_ >= 0) sort(sortColumn_, sortOrder_);
}

int FeedItemModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int FeedItemModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

const QString& FeedItemModel::text(const FeedItem& item, int column) {
  switch (column) {
    case Link:
      return item.link;
    case Date:
      return item.date;
    case Author:
      return item.author;
    case Image:
      return item.image;
    default:
      return item.title;
  }
}

QVariant FeedItemModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
  return text(itemAt(index.row()), index.column());
}

QVariant FeedItemModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= ColumnCount) return {};
  return internal::message(kHeaderIds[section]);
}

const std::vector<qint64>& FeedItemModel::dateKeys() {
  // Items that came since the last sort by date get their keys now.
  dates_.reserve(items_.size());
  for (std::size_t i = dates_.size(); i < items_.size(); ++i) {
    const QDateTime time = QDateTime::fromString(items_[i].date, Qt::RFC2822Date);
    dates_.push_back(time.isValid() ? time.toMSecsSinceEpoch() : kNoDate);
  }
  return dates_;
}

void FeedItemModel::sortRows(int column, Qt::SortOrder order) {
  const bool down = order == Qt::DescendingOrder;
  if (column < 0 || column >= ColumnCount) {
    std::iota(order_.begin(), order_.end(), 0);
  } else if (column == Date) {
    const std::vector<qint64>& keys = dateKeys();
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
      if (keys[a] == kNoDate || keys[b] == kNoDate) return keys[b] == kNoDate && keys[a] != kNoDate;
      return down ? keys[b] < keys[a] : keys[a] < keys[b];
    });
  } else {
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
      const int compared =
          text(items_[a], column).compare(text(items_[b], column), Qt::CaseInsensitive);
      return down ? compared > 0 : compared < 0;
    });
  }
}

void FeedItemModel::sort(int column, Qt::SortOrder order) {
  sortColumn_ = column;
  sortOrder_ = order;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  std::vector<int> itemOf;
  for (const QModelIndex& index : before) itemOf.push_back(order_[index.row()]);
  sortRows(column, order);
  std::vector<int> rowOf(order_.size());
  for (int row = 0; row < static_cast<int>(order_.size()); ++row) rowOf[order_[row]] = row;
  QModelIndexList after;
  for (int i = 0; i < before.size(); ++i) after << index(rowOf[itemOf[i]], before[i].column());
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace viewer::qt
