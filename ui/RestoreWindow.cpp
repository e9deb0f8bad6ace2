#include "ui/RestoreWindow.h"

#include "base/AsciiCase.h"
#include "engine/Context.h"
#include "engine/Journal.h"
#include "engine/Public.h"
#include "engine/Restore.h"
#include "ui/ActionText.h"
#include "ui/EngineJob.h"
#include "ui/WorkerGate.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>
#include <utility>

namespace pestrel {
namespace {

constexpr int kNameColumn = 1;
constexpr int kNameBytes = Qt::UserRole; // the entry's bytes, as the restore is asked for them

// The deletions a restore can still put back: for each name and place the latest one, when it
// has not been put back yet; in journal order.
std::vector<JournalEntry> Restorable(const std::vector<JournalEntry>& journal) {
    std::map<std::pair<std::string, std::string>, std::size_t> latest;
    for (std::size_t i = 0; i < journal.size(); ++i)
        latest[{UpperAscii(journal[i].entry), journal[i].place}] = i;
    std::vector<JournalEntry> rows;
    for (std::size_t i = 0; i < journal.size(); ++i) {
        if (latest.at({UpperAscii(journal[i].entry), journal[i].place}) == i &&
            !journal[i].restored)
            rows.push_back(journal[i]);
    }
    return rows;
}

} // namespace

TRestoreWindow::TRestoreWindow(Platform& platform, WorkerGate& workers, QWidget* parent)
    : QDialog(parent), platform_(platform), workers_(workers), rows_(new QTreeWidget(this)),
      restore_(new QPushButton(tr("恢复"), this)), results_(new QPlainTextEdit(this)) {
    setWindowTitle(tr("恢复"));
    setObjectName(QStringLiteral("RestoreWindow"));
    rows_->setObjectName(QStringLiteral("RestoreRows"));
    rows_->setHeaderLabels({tr("时间"), tr("名称"), tr("位置")});
    rows_->setRootIsDecorated(false);
    rows_->header()->setStretchLastSection(true);
    restore_->setObjectName(QStringLiteral("RestoreButton"));
    restore_->setEnabled(false);
    results_->setObjectName(QStringLiteral("RestoreResults"));
    results_->setReadOnly(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(restore_, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(restore_, &QPushButton::clicked, this, &TRestoreWindow::restoreChecked);
    connect(rows_, &QTreeWidget::itemChanged, this, &TRestoreWindow::rowChanged);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rows_, 3);
    layout->addWidget(results_, 2);
    layout->addWidget(buttons);
    resize(640, 420);
}

void TRestoreWindow::showJournal() {
    Context context(platform_);
    InitialiseContext(context);
    const std::optional<std::vector<JournalEntry>> journal = ReadJournal(context);
    const QSignalBlocker quiet(rows_);
    rows_->clear();
    if (!journal)
        results_->appendPlainText(tr("无法读取 %1").arg(FieldText(JournalPath(context))));
    for (const JournalEntry& deletion : Restorable(journal.value_or(std::vector<JournalEntry>{}))) {
        auto* row = new QTreeWidgetItem(rows_, {FieldText(deletion.time), FieldText(deletion.entry),
                                                FieldText(deletion.place)});
        row->setData(kNameColumn, kNameBytes, QByteArray::fromStdString(deletion.entry));
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(0, Qt::Unchecked);
    }
    for (int column = 0; column < rows_->columnCount() - 1; ++column)
        rows_->resizeColumnToContents(column);
    restore_->setEnabled(false);
    show();
    raise();
    activateWindow();
}

void TRestoreWindow::rowChanged(QTreeWidgetItem* row) {
    const QSignalBlocker quiet(rows_);
    const std::string name = row->data(kNameColumn, kNameBytes).toByteArray().toStdString();
    for (int i = 0; i < rows_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* other = rows_->topLevelItem(i);
        if (EqualsIgnoringAsciiCase(
                other->data(kNameColumn, kNameBytes).toByteArray().toStdString(), name))
            other->setCheckState(0, row->checkState(0));
    }
    restore_->setEnabled(!checkedNames().empty());
}

std::vector<std::string> TRestoreWindow::checkedNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < rows_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = rows_->topLevelItem(i);
        const std::string name = row->data(kNameColumn, kNameBytes).toByteArray().toStdString();
        if (row->checkState(0) == Qt::Checked &&
            std::none_of(names.begin(), names.end(), [&name](const std::string& known) {
                return EqualsIgnoringAsciiCase(known, name);
            }))
            names.push_back(name);
    }
    return names;
}

// The restore runs on a worker; its lines come back to this window when it has ended. No name
// checked asks for nothing (an empty list would put back every name).
void TRestoreWindow::restoreChecked() {
    const std::vector<std::string> names = checkedNames();
    if (names.empty())
        return;
    restore_->setEnabled(false);
    Platform& platform = platform_;
    const bool started = workers_.start(new TEngineJob([this, &platform, names] {
        Context context(platform);
        InitialiseContext(context);
        QStringList lines;
        const RestoreOutcome outcome = RestoreDeleted(
            context, names, [&lines](const PassAction& action) { lines << ActionText(action); });
        if (!outcome.journalRead || !outcome.journalWritten)
            lines << tr("无法读取或改写 %1").arg(FieldText(JournalPath(context)));
        QMetaObject::invokeMethod(
            this,
            [this, lines] {
                for (const QString& line : lines)
                    results_->appendPlainText(line);
                showJournal();
            },
            Qt::QueuedConnection);
    }));
    if (!started)
        restore_->setEnabled(true);
}

} // namespace pestrel
