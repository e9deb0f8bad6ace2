#include "skin/menus/MenuItemStyle.h"

namespace pestrel {

int MenuItemStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                               const QWidget* widget) const {
    for (const auto& [known, value] : metrics_) {
        if (known == metric)
            return value;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize MenuItemStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                      const QSize& size, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type != kind_.size || !item)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    return itemSize(*item);
}

void MenuItemStyle::drawControl(ControlElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element == kind_.item && item)
        drawItem(*painter, *item);
    else if (element == kind_.emptyArea)
        drawEmptyArea(*painter, option->rect);
    else
        QProxyStyle::drawControl(element, option, painter, widget);
}

} // namespace pestrel
