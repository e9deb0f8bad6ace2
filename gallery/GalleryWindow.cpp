#include "gallery/GalleryWindow.h"

#include "gallery/GalleryLog.h"
#include "gallery/GalleryPages.h"
#include "skin/containers/SUIPageControl.h"
#include "skin/window/SUIForm.h"
#include "skin/window/SUIMenuBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QMetaEnum>
#include <QVBoxLayout>

namespace pestrel::gallery {

// Every style but Custom, which has no pictures of its own to show.
QStringList StyleNames() {
    const QMetaEnum styles = QMetaEnum::fromType<TsuiUIStyle>();
    QStringList names;
    for (int i = 0; i < styles.keyCount(); ++i) {
        if (styles.value(i) != static_cast<int>(TsuiUIStyle::Custom))
            names << QString::fromLatin1(styles.key(i));
    }
    return names;
}

std::optional<TsuiUIStyle> StyleFromName(const QString& name) {
    const QMetaEnum styles = QMetaEnum::fromType<TsuiUIStyle>();
    for (const QString& known : StyleNames()) {
        if (known.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<TsuiUIStyle>(styles.keyToValue(qPrintable(known)));
    }
    return std::nullopt;
}

TGalleryWindow::TGalleryWindow(TsuiUIStyle style) {
    setObjectName("galleryWindow");
    setWindowTitle("Pestrel skin gallery");
    auto* hostLayout = new QVBoxLayout(this);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    form_ = new TsuiForm(this);
    form_->setObjectName("suiForm1");
    hostLayout->addWidget(form_);

    // The controls sit directly on the form or on its pages, where the style walk reaches them.
    styleChooser_ = new QComboBox(form_);
    styleChooser_->setObjectName("styleChooser");
    styleChooser_->addItems(StyleNames());
    disableAll_ = new QCheckBox("Disable all", form_);
    disableAll_->setObjectName("disableAll");
    pages_ = new TsuiPageControl(form_);
    pages_->setObjectName("pageControl1");
    for (const TGalleryPage& entry : GalleryPages()) {
        auto* page = new TsuiTabSheet(pages_);
        page->setObjectName(entry.objectName);
        page->setCaption(entry.caption);
        entry.create(page);
    }
    pages_->setActivePage(pages_->pageAt(0));
    CreateGalleryMenu(this);

    auto* bar = new QHBoxLayout;
    bar->addWidget(styleChooser_);
    bar->addWidget(disableAll_);
    bar->addStretch();
    auto* layout = new QVBoxLayout(form_);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->addLayout(bar);
    layout->addWidget(pages_, 1);
    resize(640, 480);
    setSkin(style);

    connect(styleChooser_, &QComboBox::currentTextChanged, this, [this](const QString& name) {
        LogEvent(styleChooser_, "OnChange", name);
        if (const auto chosen = StyleFromName(name))
            setSkin(*chosen);
    });
    connect(disableAll_, &QCheckBox::toggled, this, [this](bool on) {
        LogEvent(disableAll_, "OnClick", on ? 1 : 0);
        setAllDisabled(on);
    });
    connect(pages_, &TsuiPageControl::OnTabActive, this, [this](int index) {
        if (const TsuiTabSheet* page = pages_->pageAt(index))
            LogEvent(pages_, "OnChange", page->objectName());
    });
}

void TGalleryWindow::setSkin(TsuiUIStyle style) {
    form_->setUIStyle(style);
    const QSignalBlocker quiet(styleChooser_);
    styleChooser_->setCurrentIndex(static_cast<int>(style) - 1);
}

bool TGalleryWindow::showPage(const QString& objectName) {
    auto* page = pages_->findChild<TsuiTabSheet*>(objectName, Qt::FindDirectChildrenOnly);
    if (!page)
        return false;
    pages_->setActivePage(page);
    return true;
}

void TGalleryWindow::setAllDisabled(bool disabled) {
    for (int i = 0; i < pages_->PageCount(); ++i)
        pages_->pageAt(i)->setEnabled(!disabled);
}

QStringList TGalleryWindow::layoutLines() const {
    QStringList lines;
    for (const QWidget* control : findChildren<QWidget*>()) {
        const QString name = control->objectName();
        if (name.isEmpty() || name.startsWith("qt_"))
            continue;
        const QPoint at = control->mapTo(this, QPoint(0, 0));
        lines << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(name)
                     .arg(at.x())
                     .arg(at.y())
                     .arg(control->width())
                     .arg(control->height());
    }
    if (const QMenuBar* bar = form_->MenuBar()) {
        for (QAction* item : bar->actions()) {
            const QRect place =
                bar->actionGeometry(item).translated(bar->mapTo(this, QPoint(0, 0)));
            lines << QStringLiteral("%1 %2 %3 %4 %5")
                         .arg(item->objectName())
                         .arg(place.x())
                         .arg(place.y())
                         .arg(place.width())
                         .arg(place.height());
        }
    }
    return lines;
}

} // namespace pestrel::gallery
