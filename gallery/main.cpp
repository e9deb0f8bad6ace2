// The skin gallery: every skinned control in one skinned window, in any of the five styles.
//   --skin NAME     start in that style (MacOS, WinXP, DeepBlue, Protein, BlueGlass)
//   --page NAME     start on the page of that object name
//   --print-layout  once the window shows, print "<objectName> <x> <y> <width> <height>" for
//                   every control
// Every event a control raises is printed as "<objectName> <event> <value>".

#include "gallery/GalleryPages.h"
#include "gallery/GalleryWindow.h"
#include "skin/InterfaceFont.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>

using namespace pestrel::gallery;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    pestrel::UseInterfaceFont();
    QApplication::setApplicationName("pestrel-gallery");
    QCommandLineParser parser;
    parser.setApplicationDescription("Every skinned control of Pestrel in one window.");
    parser.addHelpOption();
    const QCommandLineOption skin("skin", "Start in style NAME: " + StyleNames().join(", ") + ".",
                                  "NAME", "WinXP");
    const QCommandLineOption page("page", "Start on the page NAME.", "NAME");
    const QCommandLineOption printLayout("print-layout",
                                         "Print every control's place once the window shows.");
    parser.addOptions({skin, page, printLayout});
    parser.process(app);

    const auto style = StyleFromName(parser.value(skin));
    if (!style) {
        std::fprintf(stderr, "unknown skin '%s': one of %s\n", qPrintable(parser.value(skin)),
                     qPrintable(StyleNames().join(", ")));
        return 2;
    }
    TGalleryWindow window(*style);
    if (parser.isSet(page) && !window.showPage(parser.value(page))) {
        QStringList names;
        for (const TGalleryPage& entry : GalleryPages())
            names << entry.objectName;
        std::fprintf(stderr, "unknown page '%s': one of %s\n", qPrintable(parser.value(page)),
                     qPrintable(names.join(", ")));
        return 2;
    }
    window.show();
    if (parser.isSet(printLayout)) {
        QTimer::singleShot(0, &window, [&window] {
            for (const QString& line : window.layoutLines())
                std::printf("%s\n", qPrintable(line));
            std::fflush(stdout);
        });
    }
    return app.exec();
}
