#pragma once
// What the bare reference windows show: one line of the program's Chinese text and the standard
// Qt controls the main window holds, unskinned: a list view of a few rows, a line edit and a
// status bar in view, a list widget and a plain text edit on pages behind, and a pop-up menu. So
// that a figure against them tells what the program's own code costs beyond them.

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStringListModel>
#include <QVBoxLayout>
#include <QWidget>

namespace pestrel::bench {

// The main window's size.
inline void MakeBareWindow(QWidget& window, bool text, bool controls) {
    window.resize(313, 366);
    // Laid out only with the controls, so that the plainer windows stay as bare as they were.
    QVBoxLayout* layout = controls ? new QVBoxLayout(&window) : nullptr;
    if (text) {
        auto* label = new QLabel(
            QStringLiteral("请先点击\"进程路径\"->\"所有进程路径\",将可疑进程添加到列表中."),
            &window);
        if (layout)
            layout->addWidget(label);
    }
    if (!controls)
        return;
    auto* list = new QListView;
    list->setModel(new QStringListModel({"evil.exe", "bad.dll", "worm.exe"}, list));
    layout->addWidget(list);
    layout->addWidget(new QLineEdit);
    layout->addWidget(new QStatusBar);
    auto* processes = new QListWidget;
    processes->addItem(QStringLiteral("pestrel"));
    processes->hide();
    layout->addWidget(processes);
    auto* paths = new QPlainTextEdit;
    paths->setReadOnly(true);
    paths->hide();
    layout->addWidget(paths);
    (new QMenu(&window))->addAction(QStringLiteral("删除"));
}

} // namespace pestrel::bench
