#pragma once
// What the skinned menu bar and the skinned drop-downs ask of a style: fixed pixel metrics, and
// the measuring and painting of their items and of the area beside them. Everything else
// (keyboard, scrolling, submenu placement) stays with the application's style.

#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <initializer_list>
#include <utility>
#include <vector>

namespace pestrel {

class MenuItemStyle : public QProxyStyle {
public:
    // The kind of item these menus hold: its size's contents type, its control and the control of
    // the empty area beside the items.
    struct ItemKind {
        ContentsType size;
        ControlElement item, emptyArea;
    };

    MenuItemStyle(ItemKind kind, std::initializer_list<std::pair<PixelMetric, int>> metrics)
        : kind_(kind), metrics_(metrics) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;

protected:
    virtual QSize itemSize(const QStyleOptionMenuItem& item) const = 0;
    virtual void drawItem(QPainter& canvas, const QStyleOptionMenuItem& item) const = 0;
    virtual void drawEmptyArea(QPainter& canvas, const QRect& rect) const = 0;

private:
    ItemKind kind_;
    std::vector<std::pair<PixelMetric, int>> metrics_;
};

} // namespace pestrel
