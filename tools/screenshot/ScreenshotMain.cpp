// Renders the main window offscreen, with a sample virus list in a temporary program folder and a
// made-up process table, and writes PNG files into the folder given (docs/screenshots): its three
// pages as the program shows them, in Chinese and in English, then the whole window (frame, page
// control and push buttons) in each of the five styles.

#include "FixedProcessTable.h"
#include "platform/posix/PosixPlatform.h"
#include "skin/InterfaceFont.h"
#include "skin/buttons/SUIButton.h"
#include "skin/containers/SUIPageControl.h"
#include "skin/window/SUIForm.h"
#include "translations/Language.h"
#include "ui/MainUnit.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using pestrel::TsuiUIStyle;

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

bool Save(QWidget& window, const QString& path) {
    QApplication::processEvents();
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

void ShowPage(pestrel::TMainForm& form, int page) {
    auto* pages = form.findChild<pestrel::TsuiPageControl*>("suiPageControl1");
    pages->setActivePage(pages->pageAt(page));
}

void ApplyStyle(pestrel::TMainForm& form, TsuiUIStyle style) {
    form.findChild<pestrel::TsuiForm*>("suiForm1")->setUIStyle(style);
    // The window stores its buttons in one style of their own; here they follow the frame.
    for (pestrel::TsuiButton* button : form.findChildren<pestrel::TsuiButton*>())
        button->setUIStyle(style);
}

// Writes the three pages as main-virus-list<suffix>.png, main-process-list<suffix>.png and
// main-process-paths<suffix>.png, and leaves the window on its first page.
bool SavePages(pestrel::TMainForm& form, const QString& output, const QString& suffix) {
    bool saved = Save(form, output + "/main-virus-list" + suffix + ".png");
    ShowPage(form, 1);
    saved = Save(form, output + "/main-process-list" + suffix + ".png") && saved;
    ShowPage(form, 2);
    QWidget* allPaths = form.findChild<QWidget*>("BAllVirusPath");
    QMetaObject::invokeMethod(allPaths, "clicked");
    // A worker locks the button through the UI thread; the picture shows it locked, every time.
    const QDeadlineTimer deadline(5000);
    while (allPaths->isEnabled() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    saved = Save(form, output + "/main-process-paths" + suffix + ".png") && saved;
    form.workers().waitUntilIdle();
    ShowPage(form, 0);
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    pestrel::UseInterfaceFont();
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "docs/screenshots";
    QDir().mkpath(output);

    QTemporaryDir root;
    const QString appFolder = root.filePath("app");
    QDir().mkpath(appFolder);
    WriteFile(appFolder + "/VirusList.txt", "evil.exe\r\nbad.dll\r\nupdater.exe\r\n");
    WriteFile(appFolder + "/Config.ini", "[RunData]\r\nFirstRun=False\r\nVersion=1.0\r\n");
    pestrel::PosixPlatform machine(root.filePath("data").toStdString(),
                                   (appFolder + "/pestrel").toStdString());
    pestrel::FixedProcessTable platform(machine);

    bool saved = true;
    if (pestrel::InstallTranslation(pestrel::Language::English)) {
        pestrel::TMainForm english(platform);
        english.show();
        saved = SavePages(english, output, "-en");
    } else {
        saved = false;
    }
    pestrel::InstallTranslation(pestrel::Language::Chinese);

    pestrel::TMainForm form(platform);
    form.show();
    saved = SavePages(form, output, "") && saved;
    const std::pair<TsuiUIStyle, const char*> styles[] = {{TsuiUIStyle::WinXP, "winxp"},
                                                          {TsuiUIStyle::MacOS, "macos"},
                                                          {TsuiUIStyle::DeepBlue, "deepblue"},
                                                          {TsuiUIStyle::Protein, "protein"},
                                                          {TsuiUIStyle::BlueGlass, "blueglass"}};
    for (const auto& [style, name] : styles) {
        ApplyStyle(form, style);
        saved = Save(form, output + "/main-" + name + ".png") && saved;
    }
    return saved ? 0 : 1;
}
