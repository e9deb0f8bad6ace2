#include "ui/FontHeights.h"

#include <QWidget>

namespace pestrel {
namespace {

void ApplyTo(QWidget* widget) {
    const QVariant height = widget->property("fontPixelHeight");
    if (!height.isValid())
        return;
    QFont font = widget->font();
    font.setPixelSize(height.toInt());
    widget->setFont(font);
}

} // namespace

void ApplyFontPixelHeights(QWidget* root) {
    ApplyTo(root);
    for (QWidget* child : root->findChildren<QWidget*>())
        ApplyTo(child);
}

} // namespace pestrel
