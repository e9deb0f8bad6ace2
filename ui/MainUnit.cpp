#include "ui/MainUnit.h"

#include "engine/Public.h"
#include "engine/RootCheck.h"
#include "engine/WorkFiles.h"
#include "ui/AboutUnit.h"
#include "ui/Clicks.h"
#include "ui/EngineText.h"
#include "ui/LayoutPixels.h"
#include "ui/ListEntries.h"
#include "ui/TextWindow.h"
#include "ui/VirusListModel.h"
#include "ui_MainForm.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QUrl>
#include <stdexcept>
#include <system_error>

namespace pestrel {
namespace {

using Handler = void (TMainForm::*)();

// Handlers drop any failure without a message.
auto Guarded(TMainForm* form, Handler handler) {
    return [form, handler] {
        try {
            (form->*handler)();
        } catch (...) {
        }
    };
}

void OnClick(QWidget* button, TMainForm* form, Handler handler) {
    OnClicked(button, Guarded(form, handler));
}

} // namespace

TMainForm::TMainForm(Platform& platform, Seams seams, RunWaits waits, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::MainForm>()), virusList_(new VirusListModel(this)),
      platform_(platform, gate_), context_(platform_), seams_(seams), waits_(waits) {
    InitialiseContext(context_);
    unsafeFolders_ = UnsafeFolders(context_);
    startVirusListRead();
    ui_->setupUi(this);
    ui_->ListBox->setModel(virusList_);
    // After the selection model's own handlers, which move the mark with the rows.
    const auto followMarker = [this] { shownMarker_ = FocusMark(ui_->ListBox); };
    connect(ui_->ListBox->selectionModel(), &QItemSelectionModel::currentChanged, this,
            followMarker);
    connect(virusList_, &QAbstractItemModel::rowsRemoved, this, followMarker);
    connect(virusList_, &QAbstractItemModel::modelReset, this, followMarker);
    ApplyLayoutPixels(this);
    makeAccessible();
    // Layout files cannot store it. After the buttons became tab stops, so that those of the
    // pages behind leave the focus chain again.
    ui_->suiPageControl1->setActivePage(ui_->suiTabSheet1);
    setStatusText(ui_->StatusBar->property("simpleText").toString());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    connectCommands();
    Guarded(this, &TMainForm::FormCreate)();
}

TMainForm::~TMainForm() {
    gate_.shutDown();
}

void TMainForm::connectCommands() {
    connect(ui_->ListBox, &QAbstractItemView::clicked, this,
            Guarded(this, &TMainForm::ListBoxClick));
    connect(ui_->ListBox, &QWidget::customContextMenuRequested, this,
            Guarded(this, &TMainForm::ListBoxClick));
    ui_->ListBox->installEventFilter(this);
    connect(ui_->NDelete, &QAction::triggered, this, Guarded(this, &TMainForm::NDeleteClick));
    connect(ui_->NEdit, &QAction::triggered, this, Guarded(this, &TMainForm::NEditClick));
    connect(ui_->NSave, &QAction::triggered, this, Guarded(this, &TMainForm::NSaveClick));
    addUndoCommands();
    addAutostartChoice();
    connect(ui_->EADDVirusName, &QLineEdit::returnPressed, this,
            Guarded(this, &TMainForm::EADDVirusNameKeyPress));

    OnClick(ui_->SBPestrel, this, &TMainForm::SBPestrelClick);
    OnClick(ui_->SBCleanList, this, &TMainForm::SBCleanListClick);
    OnClick(ui_->SBAddToList, this, &TMainForm::SBAddToListClick);
    OnClick(ui_->SBProcessList, this, &TMainForm::SBProcessListClick);
    OnClick(ui_->SBKillProcess, this, &TMainForm::SBKillProcessClick);
    OnClick(ui_->BVirusPath, this, &TMainForm::BVirusPathClick);
    OnClick(ui_->BAllVirusPath, this, &TMainForm::BAllVirusPathClick);
    OnClick(ui_->suiButton1, this, &TMainForm::suiButton1Click);
    OnClick(ui_->SBAbout, this, &TMainForm::SBAboutClick);
}

// A long list takes about as long to read as the controls take to build: it is read meanwhile.
void TMainForm::startVirusListRead() {
    if (!unsafeFolders_.empty())
        return; // nothing is read
    try {
        listRead_ = std::async(std::launch::async, [this] { return LoadVirusList(context_); });
    } catch (const std::system_error&) {
        // No thread to spare: the list is read when the window is made.
    }
}

void TMainForm::FormCreate() {
    if (!unsafeFolders_.empty()) {
        // Nothing is read, written or started: every command lives on the pages.
        ui_->suiPageControl1->setEnabled(false);
        const QString refusal = RootRefusalText(unsafeFolders_);
        setStatusText(refusal);
        seams_.boxes->inform(this, QStringLiteral("Pestrel"), refusal);
        return;
    }
    const StartupSettings settings = ReadStartupSettings(context_);
    {
        const QSignalBlocker asRead(cleanAutostartAction_);
        cleanAutostartAction_->setChecked(ReadCleanAutostartChoice(context_));
    }
    const QString title = QStringLiteral("Pestrel ") + ShownText(settings.version);
    // The title is the application name, which the display name falls back on. A display name
    // set explicitly is appended by the platform to the title of every other window, so the
    // "Confirm" box would no longer be titled "Confirm" alone.
    QCoreApplication::setApplicationName(title);
    setWindowTitle(title);

    VirusListLoad list = listRead_.valid() ? listRead_.get() : LoadVirusList(context_);
    virusList_->append(std::move(list.entries));
    if (!list.ok)
        return;
    RunPendingDeletions(context_);
}

void TMainForm::FormShow() {
    SBProcessListClick();
}

void TMainForm::FormResize() {
    const int half = width() / 2;
    ui_->SBProcessList->move(half - ui_->SBProcessList->width(), ui_->SBProcessList->y());
    ui_->SBKillProcess->move(ui_->SBProcessList->x() + ui_->SBProcessList->width() + 10,
                             ui_->SBKillProcess->y());
    ui_->BVirusPath->move(half - ui_->BVirusPath->width(), ui_->BVirusPath->y());
    ui_->BAllVirusPath->move(ui_->BVirusPath->x() + ui_->BVirusPath->width() + 10,
                             ui_->BAllVirusPath->y());
}

void TMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Restoring from the task bar is spontaneous; only the program's own show counts.
    if (!event->spontaneous())
        Guarded(this, &TMainForm::FormShow)();
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Guarded(this, &TMainForm::FormResize)();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    gate_.shutDown();
    QWidget::closeEvent(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // A selection moved by the keyboard counts as a click on the list; the list moves it first.
    if (watched == ui_->ListBox && event->type() == QEvent::KeyPress) {
        const int before = FocusMark(ui_->ListBox);
        QMetaObject::invokeMethod(
            this,
            [this, before] {
                if (FocusMark(ui_->ListBox) != before)
                    Guarded(this, &TMainForm::ListBoxClick)();
            },
            Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::suiButton1Click() {
    // The help in the window's language: Readme.txt, or its English twin.
    const std::string name = LocalBytes(tr("Readme.txt"));
    const std::string path = JoinName(context_.AppPath, name).value_or(name);
    // An installed program's help is a link to the installed file, which the window follows.
    const std::unique_ptr<HeldFolder> work = HoldWorkFolder(context_);
    if (work && work->hasEntry(name)) {
        if (seams_.desktop->open(QUrl::fromLocalFile(ShownText(path))))
            return;
        // No program on this desktop opens text files: the help is shown by us instead.
        if (!readmeWindow_)
            readmeWindow_ = new TTextWindow(this);
        readmeWindow_->showFile(path);
        return;
    }
    seams_.boxes->inform(this, QGuiApplication::applicationDisplayName(),
                         tr("错误：文件%1不存在！").arg(ShownText(path)));
}

void TMainForm::SBAboutClick() {
    if (!aboutForm_)
        aboutForm_ = std::make_unique<TAboutForm>(*seams_.desktop);
    aboutForm_->show();
    aboutForm_->raise();
    aboutForm_->activateWindow();
}

void TMainForm::startWorker(WorkerJob job) {
    if (!gate_.start(new TRunExecute(*this, job)))
        throw std::runtime_error("the worker thread could not be started");
}

std::shared_ptr<const std::vector<std::string>> TMainForm::virusEntries() const {
    return virusList_->shared();
}

std::uint64_t TMainForm::virusListVersion() const {
    return virusList_->version();
}

int TMainForm::virusEntryCount() const {
    return virusList_->rowCount();
}

std::optional<std::string> TMainForm::virusEntry(int index) const {
    return virusList_->entry(index);
}

int TMainForm::virusMarker() const {
    return FocusMark(ui_->ListBox);
}

void TMainForm::setVirusMarker(int index) {
    MoveFocusMark(ui_->ListBox, index);
}

QString TMainForm::statusText() const {
    return ui_->StatusBar->currentMessage();
}

void TMainForm::setStatusText(const QString& text) {
    if (text.isEmpty())
        ui_->StatusBar->clearMessage();
    else
        ui_->StatusBar->showMessage(text);
}

void TMainForm::setRuleProblems(const QString& problems) {
    ui_->StatusBar->setToolTip(problems);
}

void TMainForm::enableKillButton() {
    ui_->SBPestrel->setEnabled(true);
}

void TMainForm::clearProcessList() {
    ui_->ListBoxProcess->clear();
    processRows_.clear();
}

void TMainForm::setAllPathsEnabled(bool enabled) {
    ui_->BAllVirusPath->setEnabled(enabled);
}

} // namespace pestrel
