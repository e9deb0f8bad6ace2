#pragma once
// The virus list's rows: the entries' bytes in one vector, decoded only for the rows a view asks
// for, so that a list of 100,000 names costs its bytes and nothing per row. Other threads get the
// entries shared, at no cost: a change copies them first while anyone else holds them. Every
// change of the rows moves version(), which other threads may read to tell whether the entries
// they hold are still the list.

#include <QAbstractListModel>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pestrel {

class VirusListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    explicit VirusListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const std::vector<std::string>& entries() const { return *entries_; }
    // The entries as they are now; they never change while shared.
    std::shared_ptr<const std::vector<std::string>> shared() const { return entries_; }
    std::optional<std::string> entry(int row) const; // nothing when out of range
    std::uint64_t version() const { return version_.load(); }

    void append(std::vector<std::string> rows); // one insertion for all of them
    void removeRows(std::vector<int> rows);     // in any order; one removal per run of rows
    void clear();

private:
    // The entries to change: copied first when they are shared.
    std::vector<std::string>& own();

    std::shared_ptr<std::vector<std::string>> entries_ =
        std::make_shared<std::vector<std::string>>();
    std::atomic<std::uint64_t> version_{0};
};

} // namespace pestrel
