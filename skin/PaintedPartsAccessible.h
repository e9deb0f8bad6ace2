#pragma once
// A control that paints parts a person presses one by one (the tabs of a strip, the buttons of a
// title bar) as a screen reader sees it: a container whose children are the parts, each with a
// name, a place and a press action, selected when the control says so.

#include <QAccessible>
#include <QRect>
#include <QString>
#include <functional>

class QWidget;

namespace pestrel {

struct PaintedParts {
    QAccessible::Role containerRole;
    QAccessible::Role partRole;
    std::function<int()> count;
    std::function<QString(int)> name;
    std::function<QRect(int)> rect;    // in the control's coordinates; empty when not drawn
    std::function<bool(int)> selected; // empty for parts that are not selected
    std::function<void(int)> press;
};

QAccessibleInterface* PaintedPartsAccessible(QWidget* control, PaintedParts parts);

} // namespace pestrel
