#include "ui/ListEntries.h"

#include <QByteArray>
#include <QListWidget>
#include <algorithm>

namespace pestrel {
namespace {
constexpr int kBytesRole = Qt::UserRole;
} // namespace

QString ShownText(const std::string& bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string LocalBytes(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

namespace {

bool IsAscii(const std::string& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Rows keep their bytes beside the text only where the text does not give them back.
void KeepBytesUnlessShownExactly(QListWidgetItem* item, const std::string& bytes) {
    if (LocalBytes(item->text()) != bytes)
        item->setData(kBytesRole, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

} // namespace

void AppendRow(QListWidget* list, const std::string& bytes) {
    AppendRows(list, {bytes});
}

// ASCII reads the same in every local encoding, so those rows (nearly all, in long lists) skip
// the decoder and the check.
void AppendRows(QListWidget* list, const std::vector<std::string>& rows) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(rows.size()));
    std::vector<bool> ascii(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ascii[i] = IsAscii(rows[i]);
        texts << (ascii[i]
                      ? QString::fromLatin1(rows[i].data(), static_cast<qsizetype>(rows[i].size()))
                      : ShownText(rows[i]));
    }
    const int first = list->count();
    list->addItems(texts);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!ascii[i])
            KeepBytesUnlessShownExactly(list->item(first + static_cast<int>(i)), rows[i]);
    }
}

std::string RowBytes(const QListWidgetItem* item) {
    const QVariant bytes = item->data(kBytesRole);
    return bytes.isValid() ? bytes.toByteArray().toStdString() : LocalBytes(item->text());
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
