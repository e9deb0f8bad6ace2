// Any bytes as a layout file: the widgets are made and their properties set in file order, as
// the code generated from a layout file does. Afterwards every page control holds exactly its
// sheet children, numbered in order, with one tab each; activating,
// hiding and showing each page and destroying the form keep it so. The form is painted too.
#include "skin/buttons/SUIButton.h"
#include "skin/containers/SUIPageControl.h"

#include <QApplication>
#include <QImage>
#include <QRect>
#include <QXmlStreamReader>
#include <cstdlib>
#include <memory>

using namespace pestrel;

namespace {

QWidget* MakeWidget(QStringView className, QWidget* parent) {
    if (className == u"pestrel::TsuiPageControl")
        return new TsuiPageControl(parent);
    if (className == u"pestrel::TsuiTabSheet")
        return new TsuiTabSheet(parent);
    if (className == u"pestrel::TsuiButton")
        return new TsuiButton(parent);
    return new QWidget(parent);
}

// The value element the reader stands on; invalid for kinds the loader does not know.
QVariant ReadValue(QXmlStreamReader& xml) {
    const QStringView kind = xml.name();
    if (kind == u"number")
        return xml.readElementText().toLongLong();
    if (kind == u"bool")
        return xml.readElementText() == u"true";
    if (kind == u"string")
        return xml.readElementText();
    if (kind == u"enum") // "Scope::Value": the property takes the value's own name
        return xml.readElementText().section(QStringLiteral("::"), -1);
    if (kind == u"stringlist") {
        QStringList strings;
        while (xml.readNextStartElement())
            strings << xml.readElementText();
        return strings;
    }
    if (kind == u"rect") {
        QRect rect;
        while (xml.readNextStartElement()) {
            const QStringView part = xml.name();
            const int number = xml.readElementText().toInt();
            if (part == u"x")
                rect.moveLeft(number);
            else if (part == u"y")
                rect.moveTop(number);
            else if (part == u"width")
                rect.setWidth(number);
            else if (part == u"height")
                rect.setHeight(number);
        }
        return rect;
    }
    xml.skipCurrentElement();
    return QVariant();
}

// Reads the <widget> element the reader stands on, with its properties and children.
QWidget* ReadWidget(QXmlStreamReader& xml, QWidget* parent) {
    QWidget* widget = MakeWidget(xml.attributes().value(QLatin1String("class")), parent);
    widget->setObjectName(xml.attributes().value(QLatin1String("name")).toString());
    while (xml.readNextStartElement()) {
        if (xml.name() == u"widget") {
            ReadWidget(xml, widget);
        } else if (xml.name() == u"property") {
            const QByteArray name = xml.attributes().value(QLatin1String("name")).toLatin1();
            if (xml.readNextStartElement()) {
                const QVariant value = ReadValue(xml);
                if (value.isValid())
                    widget->setProperty(name.constData(), value);
                xml.skipCurrentElement();
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    return widget;
}

std::unique_ptr<QWidget> Load(const QByteArray& bytes) {
    QXmlStreamReader xml(bytes);
    if (!xml.readNextStartElement() || xml.name() != u"ui")
        return nullptr;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"widget")
            return std::unique_ptr<QWidget>(ReadWidget(xml, nullptr));
        xml.skipCurrentElement();
    }
    return nullptr;
}

void Check(bool condition) {
    if (!condition)
        std::abort();
}

void CheckPages(const TsuiPageControl& control) {
    int sheets = 0;
    for (QObject* child : control.children())
        sheets += qobject_cast<TsuiTabSheet*>(child) != nullptr;
    Check(control.PageCount() == sheets);
    Check(control.TopPanel()->Tabs().size() == control.PageCount());
    for (int i = 0; i < control.PageCount(); ++i) {
        const TsuiTabSheet* page = control.pageAt(i);
        Check(page && page->PageIndex() == i && page->PageControl() == &control &&
              page->parentWidget() == &control);
    }
    Check(!control.ActivePage() || control.ActivePage()->PageControl() == &control);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(*argc, *argv);
    // The font caches are filled once, here, so that no run is taken for their allocations.
    TsuiPageControl control;
    (new TsuiTabSheet(&control))->setCaption(QStringLiteral("x"));
    QImage canvas(16, 16, QImage::Format_RGB32);
    control.render(&canvas);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<QWidget> form =
        Load(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!form)
        return 0;
    form->ensurePolished();
    QImage canvas(160, 120, QImage::Format_RGB32);
    form->render(&canvas); // paints every skinned control that shows in the corner
    QList<TsuiPageControl*> controls = form->findChildren<TsuiPageControl*>();
    if (auto* control = qobject_cast<TsuiPageControl*>(form.get()))
        controls.prepend(control);
    for (TsuiPageControl* control : controls) {
        CheckPages(*control);
        for (int i = 0; i < control->PageCount(); ++i) {
            TsuiTabSheet* page = control->pageAt(i);
            control->setActivePage(page);
            page->setTabVisible(false);
            page->setTabVisible(true);
            CheckPages(*control);
        }
    }
    return 0;
}
