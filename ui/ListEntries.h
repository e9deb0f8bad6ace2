#pragma once
// Names from files and from the process table are bytes in the local encoding; lists show them
// decoded. The virus list keeps the bytes themselves (VirusListModel), so that text which does
// not decode cleanly still reaches the engine and the files unchanged.

#include <QString>
#include <string>
#include <vector>

class QAbstractItemView;
class QListWidget;

namespace pestrel {

QString ShownText(const std::string& bytes);
std::string LocalBytes(const QString& text);

// Appends many rows in one insertion, which costs far less than one insertion per row.
void AppendRows(QListWidget* list, const std::vector<std::string>& rows);

// The focus mark moves without touching the selection; a row out of range takes it away.
void MoveFocusMark(QAbstractItemView* list, int row);
int FocusMark(const QAbstractItemView* list); // -1 when there is none

} // namespace pestrel
