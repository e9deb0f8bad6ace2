#pragma once
// List rows that keep the exact bytes of their text. Names from files and from the process
// table are bytes in the local encoding; a row shows them decoded and hands back the original
// bytes, so that text which does not decode cleanly still reaches the engine and the files
// unchanged.

#include <QString>
#include <string>
#include <vector>

class QListWidget;
class QListWidgetItem;

namespace pestrel {

QString ShownText(const std::string& bytes);
std::string LocalBytes(const QString& text);

void AppendRow(QListWidget* list, const std::string& bytes);
// Appends many rows in one insertion, which costs far less than one insertion per row.
void AppendRows(QListWidget* list, const std::vector<std::string>& rows);
std::string RowBytes(const QListWidgetItem* item);

// The focus mark moves without touching the selection; a row out of range takes it away.
void MoveFocusMark(QListWidget* list, int row);
int FocusMark(const QListWidget* list); // -1 when there is none

} // namespace pestrel
