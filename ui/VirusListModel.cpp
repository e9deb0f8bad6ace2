#include "ui/VirusListModel.h"

#include "ui/ListEntries.h"

#include <algorithm>

namespace pestrel {

VirusListModel::VirusListModel(QObject* parent) : QAbstractListModel(parent) {}

int VirusListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant VirusListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::AccessibleTextRole))
        return {};
    return ShownText(entries_[static_cast<std::size_t>(index.row())]);
}

Qt::ItemFlags VirusListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

std::optional<std::string> VirusListModel::entry(int row) const {
    if (row < 0 || row >= rowCount())
        return std::nullopt;
    return entries_[static_cast<std::size_t>(row)];
}

void VirusListModel::append(std::vector<std::string> rows) {
    if (rows.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    if (entries_.empty())
        entries_ = std::move(rows);
    else
        entries_.insert(entries_.end(), std::make_move_iterator(rows.begin()),
                        std::make_move_iterator(rows.end()));
    ++version_;
    endInsertRows();
}

// From the last run to the first, so that the rows still to go keep their numbers.
void VirusListModel::removeRows(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::erase_if(rows, [this](int row) { return row < 0 || row >= rowCount(); });
    while (!rows.empty()) {
        const int last = rows.back();
        int first = last;
        while (!rows.empty() && rows.back() == first) {
            rows.pop_back();
            --first;
        }
        ++first;
        beginRemoveRows({}, first, last);
        entries_.erase(entries_.begin() + first, entries_.begin() + last + 1);
        ++version_;
        endRemoveRows();
    }
}

void VirusListModel::clear() {
    beginResetModel();
    entries_.clear();
    ++version_;
    endResetModel();
}

} // namespace pestrel
