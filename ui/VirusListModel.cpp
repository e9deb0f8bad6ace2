#include "ui/VirusListModel.h"

#include "ui/ListEntries.h"

#include <algorithm>

namespace pestrel {

VirusListModel::VirusListModel(QObject* parent) : QAbstractListModel(parent) {}

int VirusListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_->size());
}

// A holder that lets go meanwhile only makes the copy unneeded, never wrong.
std::vector<std::string>& VirusListModel::own() {
    if (entries_.use_count() > 1)
        entries_ = std::make_shared<std::vector<std::string>>(*entries_);
    return *entries_;
}

QVariant VirusListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::AccessibleTextRole))
        return {};
    return ShownText((*entries_)[static_cast<std::size_t>(index.row())]);
}

Qt::ItemFlags VirusListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

std::optional<std::string> VirusListModel::entry(int row) const {
    if (row < 0 || row >= rowCount())
        return std::nullopt;
    return (*entries_)[static_cast<std::size_t>(row)];
}

void VirusListModel::append(std::vector<std::string> rows) {
    if (rows.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    std::vector<std::string>& entries = own();
    if (entries.empty())
        entries = std::move(rows);
    else
        entries.insert(entries.end(), std::make_move_iterator(rows.begin()),
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
        std::vector<std::string>& entries = own();
        entries.erase(entries.begin() + first, entries.begin() + last + 1);
        ++version_;
        endRemoveRows();
    }
}

void VirusListModel::clear() {
    beginResetModel();
    entries_ = std::make_shared<std::vector<std::string>>();
    ++version_;
    endResetModel();
}

} // namespace pestrel
