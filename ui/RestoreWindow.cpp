#include "ui/RestoreWindow.h"

#include "base/AsciiCase.h"
#include "engine/Context.h"
#include "engine/Journal.h"
#include "engine/Public.h"
#include "engine/Restore.h"
#include "ui/ActionText.h"
#include "ui/DialogButtons.h"
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

constexpr int kLineData = Qt::UserRole; // the journal line the row shows, as it was read

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
    QDialogButtonBox* buttons = CloseButtons(this);
    buttons->addButton(restore_, QDialogButtonBox::ActionRole);
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
        row->setData(0, kLineData, QByteArray::fromStdString(FormatJournalLine(deletion)));
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

void TRestoreWindow::rowChanged() {
    restore_->setEnabled(!checkedLines().empty());
}

std::vector<std::string> TRestoreWindow::checkedLines() const {
    std::vector<std::string> lines;
    for (int i = 0; i < rows_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = rows_->topLevelItem(i);
        if (row->checkState(0) == Qt::Checked)
            lines.push_back(row->data(0, kLineData).toByteArray().toStdString());
    }
    return lines;
}

// The restore runs on a worker; its lines come back to this window when it has ended. No name
// checked asks for nothing.
void TRestoreWindow::restoreChecked() {
    const std::vector<std::string> lines = checkedLines();
    if (lines.empty())
        return;
    restore_->setEnabled(false);
    Platform& platform = platform_;
    const bool started = workers_.start(new TEngineJob([this, &platform, lines] {
        Context context(platform);
        InitialiseContext(context);
        PassLog log;
        const RestoreOutcome outcome = RestoreJournalLines(context, lines, log);
        QStringList results;
        for (const PassAction& action : log.actions)
            results << ActionText(action);
        if (!outcome.journalRead || !outcome.journalWritten)
            results << tr("无法读取或改写 %1").arg(FieldText(JournalPath(context)));
        QMetaObject::invokeMethod(
            this,
            [this, results] {
                for (const QString& line : results)
                    results_->appendPlainText(line);
                showJournal();
            },
            Qt::QueuedConnection);
    }));
    if (!started)
        restore_->setEnabled(true);
}

} // namespace pestrel
