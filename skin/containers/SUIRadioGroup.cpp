#include "skin/containers/SUIRadioGroup.h"

#include "skin/buttons/SUICheckBox.h"

#include <algorithm>

namespace pestrel {

TsuiCheckGroup::TsuiCheckGroup(QWidget* parent) : TsuiCustomGroupBox(parent) {
    setCaption(QStringLiteral("suiCheckGroup"));
    setUIStyle(FindFormUIStyle(parent ? parent->window() : nullptr));
    TsuiCustomGroupBox::setTransparent(false);
    setParentColor(true);
}

void TsuiCheckGroup::setUIStyle(TsuiUIStyle style) {
    if (style == uiStyle_)
        return;
    uiStyle_ = style;
    ApplyGroupStyle(style);
    for (TsuiCheckBox* box : boxes_)
        box->setUIStyle(style);
}

void TsuiCheckGroup::ApplyGroupStyle(TsuiUIStyle style) {
    if (style == TsuiUIStyle::Custom)
        return;
    setBorderColor(GetThemeColor(style, tiControlBorderColor));
    setFontColor(GetThemeColor(style, tiGroupFontColor));
    if (!ParentColor())
        setColor(GetThemeColor(style, tiControlColor));
}

void TsuiCheckGroup::setItems(const QStringList& items) {
    items_ = items;
    syncBoxes();
    arrange();
}

void TsuiCheckGroup::setColumns(int columns) {
    if (columns < 0)
        return;
    columns_ = columns;
    arrange();
}

void TsuiCheckGroup::setTopMargin(int margin) {
    if (margin < 0)
        return;
    topMargin_ = margin;
    arrange();
}

void TsuiCheckGroup::setTransparent(bool transparent) {
    TsuiCustomGroupBox::setTransparent(transparent);
    for (TsuiCheckBox* box : boxes_)
        box->setTransparent(transparent);
}

TsuiCheckBox* TsuiCheckGroup::boxAt(int index) const {
    return index >= 0 && index < boxCount() ? boxes_[index] : nullptr;
}

TsuiCheckBox* TsuiCheckGroup::CreateItemButton(TsuiUIStyle formStyle) {
    return new TsuiCheckBox(this, formStyle);
}

void TsuiCheckGroup::syncBoxes() {
    while (boxCount() > items_.size()) {
        delete boxes_.back();
        boxes_.pop_back();
    }
    // Looking the form up walks the window's children, the boxes made so far among them for a
    // group that is a window of its own: once per box, that grows with the square of the count.
    const TsuiUIStyle formStyle = FindFormUIStyle(window());
    while (boxCount() < items_.size()) {
        TsuiCheckBox* box = CreateItemButton(formStyle);
        // Captioned before it sizes itself, so that the caption is measured once.
        box->setCaption(items_[boxCount()]);
        box->setAutoSize(true);
        box->setUIStyle(uiStyle_);
        box->setTransparent(Transparent());
        connect(box, &TsuiCheckBox::clicked, this, &TsuiCheckGroup::clicked);
        box->show();
        boxes_.push_back(box);
    }
    for (int i = 0; i < boxCount(); ++i)
        boxes_[i]->setCaption(items_[i]);
}

void TsuiCheckGroup::arrange() {
    if (boxes_.empty())
        return;
    const TRect area = childrenArea();
    const int top = area.Top + topMargin_;
    // A group too small for its rows stacks them at the top rather than above it.
    const int space = std::max(0, area.Bottom - top);
    const int columns = std::max(1, columns_);
    const int count = boxCount();
    const int rows = (count + columns - 1) / columns;
    const int columnWidth = std::max(0, (width() - 10) / columns);
    const int rowHeight = space / rows;
    const int first = top + (space % rows) / 2;
    for (int i = 0; i < count; ++i)
        boxes_[i]->move((i / rows) * columnWidth + 8, (i % rows) * rowHeight + first);
}

void TsuiCheckGroup::resizeEvent(QResizeEvent* event) {
    TsuiCustomGroupBox::resizeEvent(event);
    arrange();
}

static const bool checkGroupsStyled = RegisterStyleRule(srCheckGroup, ApplyStyle<TsuiCheckGroup>);

} // namespace pestrel
