#include "ui/ListEntries.h"

#include <QListWidget>
#include <algorithm>

namespace pestrel {

QString ShownText(const std::string& bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string LocalBytes(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

// ASCII reads the same in every local encoding, so those rows (nearly all, in long lists) skip
// the decoder.
void AppendRows(QListWidget* list, const std::vector<std::string>& rows) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(rows.size()));
    for (const std::string& row : rows) {
        const bool ascii = std::all_of(row.begin(), row.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        texts << (ascii ? QString::fromLatin1(row.data(), static_cast<qsizetype>(row.size()))
                        : ShownText(row));
    }
    list->addItems(texts);
}

void MoveFocusMark(QAbstractItemView* list, int row) {
    const QModelIndex index = list->model()->index(row, 0);
    list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

int FocusMark(const QAbstractItemView* list) {
    return list->currentIndex().row();
}

} // namespace pestrel
