#include "ui/ListEntries.h"

#include <QByteArray>
#include <QListWidget>

namespace pestrel {
namespace {
constexpr int kBytesRole = Qt::UserRole;
}

QString ShownText(const std::string& bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string LocalBytes(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

void AppendRow(QListWidget* list, const std::string& bytes) {
    auto* item = new QListWidgetItem(ShownText(bytes));
    item->setData(kBytesRole, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    list->addItem(item);
}

std::string RowBytes(const QListWidgetItem* item) {
    return item->data(kBytesRole).toByteArray().toStdString();
}

} // namespace pestrel

namespace pestrel {

void MoveFocusMark(QListWidget* list, int row) {
    const QModelIndex index = list->model()->index(row, 0);
    list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

int FocusMark(const QListWidget* list) {
    return list->currentRow();
}

} // namespace pestrel
