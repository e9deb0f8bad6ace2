// The program's window over the real system of the platform it is built for, driven from inside
// as a person would drive it. The working files are those of the current folder.
//   pestrel_window_probe --layout          prints "<page> <parent>/<name> <x> <y> <width> <height>"
//                                           for every shown named control of each page, in the
//                                           window's coordinates
//   pestrel_window_probe --shots DIR NAME  writes each page as the screen shows it to
//                                           DIR/NAME-<page>.png
//   pestrel_window_probe --kill            presses the kill button, waits for its pass and
//                                           prints the status text and "seconds <pass time>"
//   pestrel_window_probe --first-paint     ends once the window has been painted (the start-up
//   pestrel_window_probe --bare-first-paint figures), or a bare Qt window of its size

#include "skin/InterfaceFont.h"
#include "skin/containers/SUIPageControl.h"
#include "translations/Language.h"
#include "ui/MainUnit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScreen>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include "app/StandInFace.h"
#include "platform/win32/Win32Platform.h"
#else
#include "platform/posix/PosixPlatform.h"
#endif

namespace {

const char* const kPageNames[] = {"virus-list", "process-list", "process-paths"};

pestrel::TsuiPageControl& Pages(pestrel::TMainForm& form) {
    return *form.findChild<pestrel::TsuiPageControl*>("suiPageControl1");
}

void ShowPage(pestrel::TMainForm& form, int page) {
    Pages(form).setActivePage(Pages(form).pageAt(page));
    QApplication::processEvents();
}

void PrintLayout(pestrel::TMainForm& form) {
    for (int page = 0; page < Pages(form).PageCount(); ++page) {
        ShowPage(form, page);
        for (const QWidget* control : form.findChildren<QWidget*>()) {
            // A scroll area's own parts (viewport, scroll bars) follow how many rows it holds,
            // which is how many processes the machine runs, not the window's layout.
            if (control->objectName().isEmpty() ||
                control->objectName().startsWith(QLatin1String("qt_scrollarea")) ||
                !control->isVisibleTo(&form))
                continue;
            const QPoint at = control->mapTo(&form, QPoint(0, 0));
            const QString name =
                control->parentWidget()->objectName() + QLatin1Char('/') + control->objectName();
            std::printf("%s %s %d %d %d %d\n", kPageNames[page], qPrintable(name), at.x(), at.y(),
                        control->width(), control->height());
        }
    }
}

bool SaveShots(pestrel::TMainForm& form, const QString& folder, const QString& name) {
    QDir().mkpath(folder);
    bool saved = true;
    for (int page = 0; page < Pages(form).PageCount(); ++page) {
        ShowPage(form, page);
        form.workers().waitUntilIdle();
        QApplication::processEvents();
        const QRect frame = form.frameGeometry();
        const QPixmap shot =
            form.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
        const QString path =
            QStringLiteral("%1/%2-%3.png").arg(folder, name, QLatin1String(kPageNames[page]));
        saved = shot.save(path) && saved;
        std::printf("wrote %s\n", qPrintable(path));
    }
    return saved;
}

void PressKill(pestrel::TMainForm& form) {
    QWidget* kill = form.findChild<QWidget*>("SBPestrel");
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(kill, Qt::LeftButton);
    form.workers().waitUntilIdle();
    QApplication::processEvents();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("%s\nseconds %.6f\n", qPrintable(form.statusText()), seconds);
}

// Shows `window` and runs events until its first paint pass is done.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget& window) : window_(window) {
        qApp->installEventFilter(this);
        window.show();
        loop_.exec();
        qApp->removeEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == &window_)
            loop_.quit();
        return false;
    }

private:
    QWidget& window_;
    QEventLoop loop_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const QString mode = arguments.value(1);
    if (mode == QLatin1String("--bare-first-paint")) {
        QWidget bare;
        bare.resize(313, 366);
        FirstPaint painted(bare);
        std::_Exit(0); // timed to the first paint, not to the teardown
    }
    pestrel::InstallTranslation(pestrel::Language::Chinese);
#ifdef _WIN32
    pestrel::LoadStandInFaceWhereMissing(QApplication::applicationDirPath());
    pestrel::Win32Platform platform("kernel32.dll",
                                    QDir::toNativeSeparators(QDir::currentPath()).toStdString() +
                                        "\\pestrel.exe");
#else
    pestrel::PosixPlatform platform(QDir::current().filePath("data").toStdString(),
                                    QDir::current().filePath("pestrel").toStdString());
#endif
    pestrel::UseInterfaceFont();
    // No timed job waits: the kill pass is timed to its end, not to its message's.
    pestrel::TMainForm form(platform, pestrel::Seams::Standard(), pestrel::RunWaits{0, 0, 0, 0});
    form.move(0, 0);
    if (mode == QLatin1String("--first-paint")) {
        FirstPaint painted(form);
        std::_Exit(0);
    }
    form.show();
    QApplication::processEvents();
    form.workers().waitUntilIdle();

    if (mode == QLatin1String("--layout")) {
        PrintLayout(form);
        return 0;
    }
    if (mode == QLatin1String("--shots") && arguments.size() == 4)
        return SaveShots(form, arguments[2], arguments[3]) ? 0 : 1;
    if (mode == QLatin1String("--kill")) {
        PressKill(form);
        return 0;
    }
    std::fprintf(stderr, "usage: pestrel_window_probe --layout | --shots DIR NAME | --kill | "
                         "--first-paint | --bare-first-paint\n");
    return 2;
}
