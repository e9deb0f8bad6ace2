// Renders every skin bitmap, grouped by style and labelled, into one PNG, together with a title
// bar and push buttons assembled the way the skinned window draws them.
//   pestrel_skinsheet <output.png>

#include "skin/SUIPublic.h"
#include "skin/SUIThemes.h"
#include "skin/SkinBitmaps.h"
#include "skin/window/SUITitleBar.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <cstdio>
#include <map>

namespace {

using namespace pestrel;

constexpr int Zoom = 2;
constexpr int SheetWidth = 1500;
constexpr int Margin = 12;

// The title bar exactly as a skinned window `width` wide draws it; with `hotButton`, the pointer
// rests on that button of the bar's collection.
QImage TitleBar(TsuiUIStyle style, int width, int hotButton) {
    QWidget window;
    window.resize(width, 60);
    auto* bar = new TsuiTitleBar(&window);
    bar->setUIStyle(style);
    bar->setCaption(QStringLiteral("Pestrel"));
    if (hotButton >= 0) {
        const QPointF at = QRectF(bar->buttonRects()[hotButton]).center();
        QMouseEvent move(QEvent::MouseMove, at, bar->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &move);
    }
    return bar->grab().toImage();
}

class Sheet {
public:
    explicit Sheet(QPainter& painter) : p(painter) {}

    void heading(const QString& text) {
        newRow();
        y += 8;
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(16);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(Margin, y + 16, text);
        font.setBold(false);
        font.setPixelSize(10);
        p.setFont(font);
        y += 24;
    }
    void item(const QString& label, const QImage& image, int zoom = Zoom) {
        const int w = std::max(image.width() * zoom, 130), h = image.height() * zoom + 14;
        if (x + w > SheetWidth - Margin)
            newRow();
        p.setPen(QColor(90, 90, 90));
        p.drawText(QRect(x, y, w + 12, 12), Qt::AlignLeft, label);
        p.fillRect(x, y + 13, image.width() * zoom, image.height() * zoom,
                   QBrush(QColor(200, 200, 200), Qt::Dense4Pattern));
        p.drawImage(QRect(x, y + 13, image.width() * zoom, image.height() * zoom), image);
        x += w + 14;
        rowHeight = std::max(rowHeight, h + 8);
    }
    void newRow() {
        if (x > Margin)
            y += rowHeight;
        x = Margin;
        rowHeight = 0;
    }

private:
    QPainter& p;
    int x = Margin, y = Margin, rowHeight = 0;
};

void DrawSheet(QPainter& p) {
    Sheet sheet(p);
    std::map<QString, bool> shown;
    const QStringList names = QDir(":/skins").entryList(QDir::Files, QDir::Name);
    const TsuiUIStyle styles[] = {TsuiUIStyle::MacOS, TsuiUIStyle::WinXP, TsuiUIStyle::DeepBlue,
                                  TsuiUIStyle::Protein, TsuiUIStyle::BlueGlass};
    for (TsuiUIStyle style : styles) {
        const QString prefix = StyleResourcePrefix(style);
        sheet.heading(prefix.chopped(1));
        sheet.item("title bar, 420 wide", TitleBar(style, 420, -1), 1);
        sheet.item("title bar, hover on close", TitleBar(style, 300, 1), 1);
        for (int state = 0; state < 3; ++state) {
            QImage button(80, 27, QImage::Format_RGB32);
            button.fill(ColorToQColor(GetThemeColor(style, tiFormColor)));
            QPainter bp(&button);
            DrawSkinStretched(LoadThemeBitmap(style, tiButtonNormal + state), bp, {0, 0, 80, 27},
                              style == TsuiUIStyle::BlueGlass);
            bp.drawText(button.rect(), Qt::AlignCenter, QString::fromUtf8("杀毒"));
            bp.end();
            sheet.item(QStringLiteral("button 80x27 state %1").arg(state), button);
        }
        sheet.newRow();
        for (const QString& name : names) {
            if (!name.startsWith(prefix))
                continue;
            const QImage image = LoadSkinBitmap(name);
            sheet.item(QStringLiteral("%1 %2x%3")
                           .arg(name.mid(prefix.size()))
                           .arg(image.width())
                           .arg(image.height()),
                       image, image.width() > 200 ? 1 : Zoom);
            shown[name] = true;
        }
    }
    sheet.heading("shared");
    for (const QString& name : names) {
        if (shown.count(name))
            continue;
        const QImage image = LoadSkinBitmap(name);
        sheet.item(QStringLiteral("%1 %2x%3").arg(name).arg(image.width()).arg(image.height()),
                   image);
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
        return 2;
    }
    pestrel::LoadSkinBitmap("MAINICON"); // makes the resources visible to QDir
    // Measure once on a tall scratch sheet, then crop to the used height.
    QImage scratch(SheetWidth, 6000, QImage::Format_RGB32);
    scratch.fill(Qt::white);
    int height = 0;
    {
        QPainter p(&scratch);
        DrawSheet(p);
    }
    for (int y = scratch.height() - 1; y >= 0 && height == 0; --y) {
        for (int x = 0; x < scratch.width(); ++x) {
            if (scratch.pixel(x, y) != qRgb(255, 255, 255)) {
                height = y + Margin + 1;
                break;
            }
        }
    }
    if (!scratch.copy(0, 0, SheetWidth, height).save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
