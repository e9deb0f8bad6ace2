// A bare Qt window of the main window's size: the reference for the installed program's memory.
// With --text it shows one line of the program's Chinese text, in Qt's default font or, with
// --family NAME, in that face (the program's interface face), so that the figures tell what
// drawing that text costs. With --controls it also holds the standard Qt controls the main window
// holds, unskinned: a list view of a few rows, a line edit and a status bar in view, a list widget
// and a plain text edit on pages behind, and a pop-up menu; so that a figure tells what the
// program's own code costs beyond them.

#include <QApplication>
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

namespace {

void AddControls(QWidget& window, QVBoxLayout& layout) {
    auto* list = new QListView;
    list->setModel(new QStringListModel({"evil.exe", "bad.dll", "worm.exe"}, list));
    layout.addWidget(list);
    layout.addWidget(new QLineEdit);
    layout.addWidget(new QStatusBar);
    auto* processes = new QListWidget;
    processes->addItem(QStringLiteral("pestrel"));
    processes->hide();
    layout.addWidget(processes);
    auto* paths = new QPlainTextEdit;
    paths->setReadOnly(true);
    paths->hide();
    layout.addWidget(paths);
    (new QMenu(&window))->addAction(QStringLiteral("删除"));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--family"));
        at >= 0 && at + 1 < arguments.size()) {
        QFont font = QApplication::font();
        font.setFamilies({arguments.at(at + 1)});
        QApplication::setFont(font);
    }
    QWidget window;
    window.resize(313, 366);
    // Laid out only with the controls, so that the plainer windows stay as bare as they were.
    const bool controls = arguments.contains(QStringLiteral("--controls"));
    QVBoxLayout* layout = controls ? new QVBoxLayout(&window) : nullptr;
    if (arguments.contains(QStringLiteral("--text"))) {
        auto* label = new QLabel(
            QStringLiteral("请先点击\"进程路径\"->\"所有进程路径\",将可疑进程添加到列表中."),
            &window);
        if (layout)
            layout->addWidget(label);
    }
    if (controls)
        AddControls(window, *layout);
    window.show();
    return app.exec();
}
