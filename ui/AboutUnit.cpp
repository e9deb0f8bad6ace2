#include "ui/AboutUnit.h"

#include "ui/LayoutPixels.h"
#include "ui/Seams.h"
#include "ui_AboutForm.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QUrl>

namespace pestrel {
namespace {

constexpr int kLabelsRightEdge = 201;

// The picture beside the maker's lines: a shield on a blue ground, 130 x 199, 24-bit.
QPixmap AboutPicture() {
    QImage image(130, 199, QImage::Format_RGB888);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(0, 0, 0, image.height());
    ground.setColorAt(0, QColor(24, 64, 160));
    ground.setColorAt(1, QColor(8, 24, 72));
    painter.fillRect(image.rect(), ground);

    QPainterPath shield;
    shield.moveTo(65, 40);
    shield.lineTo(105, 55);
    shield.cubicTo(105, 105, 90, 130, 65, 148);
    shield.cubicTo(40, 130, 25, 105, 25, 55);
    shield.closeSubpath();
    painter.setPen(QPen(QColor(250, 250, 250), 3));
    painter.setBrush(QColor(200, 40, 40));
    painter.drawPath(shield);
    painter.setPen(QPen(QColor(250, 250, 250), 6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(50, 88, 62, 102);
    painter.drawLine(62, 102, 84, 74);

    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(15);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(0, 160, image.width(), 24), Qt::AlignCenter, QStringLiteral("Pestrel"));
    return QPixmap::fromImage(image);
}

} // namespace

TAboutForm::TAboutForm(DesktopOpener& desktop, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::AboutForm>()), desktop_(desktop) {
    ui_->setupUi(this);
    ApplyLayoutPixels(this);
    // Closing this window must not end the program; only the main window does.
    setAttribute(Qt::WA_QuitOnClose, false);
    ui_->Image1->setPixmap(AboutPicture());
    for (QLabel* label : {ui_->Label1, ui_->Lemail, ui_->LHomePage, ui_->Label2}) {
        label->adjustSize();
        label->move(kLabelsRightEdge - label->width(), label->y());
    }
    for (QObject* clickable :
         {static_cast<QObject*>(ui_->Image1), static_cast<QObject*>(ui_->Lemail),
          static_cast<QObject*>(ui_->LHomePage)})
        clickable->installEventFilter(this);
    connect(ui_->BOK, &QPushButton::clicked, this, &QWidget::close);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::FormCreate() {
    setWindowTitle(QGuiApplication::applicationDisplayName());
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
    // The release that ends a press goes to the pressed control wherever the pointer is; only one
    // inside it clicks, so a press dragged off a link opens nothing.
    const auto* mouse =
        event->type() == QEvent::MouseButtonRelease ? static_cast<QMouseEvent*>(event) : nullptr;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (mouse && widget && mouse->button() == Qt::LeftButton &&
        widget->rect().contains(mouse->position().toPoint())) {
        if (watched == ui_->Image1)
            Image1Click();
        else if (watched == ui_->Lemail)
            LemailClick();
        else if (watched == ui_->LHomePage)
            LHomePageClick();
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::Image1Click() {
    LHomePageClick();
}

void TAboutForm::LemailClick() {
    desktop_.open(QUrl(QStringLiteral("mailto:") + ui_->Lemail->text()));
}

void TAboutForm::LHomePageClick() {
    desktop_.open(QUrl(ui_->LHomePage->text()));
}

} // namespace pestrel
