// The lists page: the framed list and edit controls, and a side channel on the page's left edge
// holding a few controls of its own.

#include "gallery/GalleryLog.h"
#include "gallery/GalleryPages.h"
#include "skin/buttons/SUIButton.h"
#include "skin/containers/SUIPageControl.h"
#include "skin/containers/SUISideChannel.h"
#include "skin/framed/SUICheckListBox.h"
#include "skin/framed/SUIEdit.h"
#include "skin/framed/SUIListBox.h"
#include "skin/framed/SUIListView.h"
#include "skin/framed/SUIMemo.h"
#include "skin/framed/SUITreeView.h"

#include <QGridLayout>
#include <QLabel>

namespace pestrel::gallery {
namespace {

constexpr int ChannelBarRoom = 24; // the page's controls start right of the side channel's bar

// A control of the page, known to the log by `name` and to a screen reader by `spoken`.
template <class T> T* Named(TsuiTabSheet* page, const char* name, const char* spoken) {
    auto* control = new T(page);
    control->setObjectName(name);
    control->setAccessibleName(spoken);
    return control;
}

TsuiListBox* ListBox(TsuiTabSheet* page) {
    auto* list = Named<TsuiListBox>(page, "listBox1", "Virus names");
    for (int i = 1; i <= 240; ++i)
        list->addItem(QStringLiteral("evil%1.exe").arg(i, 3, 10, QLatin1Char('0')));
    QObject::connect(list, &QListWidget::currentRowChanged, list,
                     [list](int row) { LogEvent(list, "OnClick", row); });
    return list;
}

TsuiMemo* Memo(TsuiTabSheet* page) {
    auto* memo = Named<TsuiMemo>(page, "memo1", "Notes");
    memo->setPlainText("Lines of plain text.\nType here: every change is logged.");
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo,
                     [memo] { LogEvent(memo, "OnChange", memo->toPlainText().size()); });
    return memo;
}

TsuiEdit* Edit(TsuiTabSheet* page) {
    auto* edit = Named<TsuiEdit>(page, "edit1", "File name");
    edit->setText("bad.dll");
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [edit](const QString& text) { LogEvent(edit, "OnChange", text); });
    return edit;
}

TsuiCheckListBox* CheckListBox(TsuiTabSheet* page) {
    auto* list = Named<TsuiCheckListBox>(page, "checkListBox1", "Repairs");
    for (const char* text :
         {"Text files", "Program files", "Registry editor", "Browser pages", "Download setting"})
        list->addCheckItem(text)->setCheckState(Qt::Checked);
    list->item(2)->setCheckState(Qt::Unchecked);
    QObject::connect(list, &QListWidget::itemChanged, list, [list](QListWidgetItem* item) {
        LogEvent(list, "OnClickCheck", list->row(item));
    });
    return list;
}

TsuiListView* ListView(TsuiTabSheet* page) {
    auto* view = Named<TsuiListView>(page, "listView1", "Processes");
    view->setHeaderLabels({"Name", "Process id", "Folder"});
    const char* rows[][3] = {{"evil.exe", "1204", "/usr/lib/evil"},
                             {"bad.dll", "1317", "/opt/bad"},
                             {"worm.exe", "2210", "/tmp"},
                             {"spy.exe", "2402", "/home/user/.cache"}};
    for (const auto& row : rows)
        new QTreeWidgetItem(view, {row[0], row[1], row[2]});
    QObject::connect(view, &QTreeWidget::currentItemChanged, view,
                     [view](QTreeWidgetItem* item) { LogEvent(view, "OnChange", item->text(0)); });
    return view;
}

TsuiTreeView* TreeView(TsuiTabSheet* page) {
    auto* tree = Named<TsuiTreeView>(page, "treeView1", "Folders");
    tree->setHeaderHidden(true);
    auto* windows = new QTreeWidgetItem(tree, {"Windows"});
    auto* system = new QTreeWidgetItem(windows, {"System32"});
    new QTreeWidgetItem(system, {"evil.dll"});
    new QTreeWidgetItem(windows, {"bad.exe"});
    new QTreeWidgetItem(new QTreeWidgetItem(tree, {"Temp"}), {"Log.ini"});
    tree->expandAll();
    QObject::connect(tree, &QTreeWidget::currentItemChanged, tree,
                     [tree](QTreeWidgetItem* item) { LogEvent(tree, "OnChange", item->text(0)); });
    return tree;
}

void SideChannel(TsuiTabSheet* page) {
    auto* channel = Named<TsuiSideChannel>(page, "sideChannel1", "Tools");
    channel->setFullWidth(180);
    channel->setCaption("Tools");
    auto* label = new QLabel("Quick actions", channel);
    label->setObjectName("sideChannelLabel1");
    label->setGeometry(20, 24, 150, 18);
    auto* scan = new TsuiButton(channel);
    scan->setObjectName("sideChannelButton1");
    scan->setCaption("Scan");
    scan->setGeometry(20, 48, 80, 25);
    QObject::connect(scan, &QAbstractButton::clicked, scan, [scan] { LogEvent(scan, "OnClick"); });
    QObject::connect(channel, &TsuiSideChannel::poppedOut, channel,
                     [channel] { LogEvent(channel, "PopOut"); });
    QObject::connect(channel, &TsuiSideChannel::pushedIn, channel,
                     [channel] { LogEvent(channel, "PopIn"); });
    QObject::connect(channel, &TsuiSideChannel::stayOnChanged, channel,
                     [channel](bool on) { LogEvent(channel, "StayOn", on ? "true" : "false"); });
    channel->raise();
}

} // namespace

void CreateListsPage(TsuiTabSheet* page) {
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(ChannelBarRoom, 12, 12, 12);
    grid->setSpacing(10);
    grid->addWidget(ListBox(page), 0, 0, 2, 1);
    grid->addWidget(Memo(page), 0, 1);
    grid->addWidget(Edit(page), 1, 1);
    grid->addWidget(CheckListBox(page), 0, 2, 2, 1);
    grid->addWidget(ListView(page), 2, 0, 1, 2);
    grid->addWidget(TreeView(page), 2, 2);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(2, 1);
    SideChannel(page); // after the others, so that it slides out over them
}

} // namespace pestrel::gallery
