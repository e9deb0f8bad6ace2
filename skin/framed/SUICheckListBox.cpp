#include "skin/framed/SUICheckListBox.h"

#include "skin/SUIThemes.h"
#include "skin/framed/SUIFramedControl.h"

#include <QPainter>
#include <QStyledItemDelegate>

namespace pestrel {

namespace {

// Draws each item as the view's style does, but its check box as a flat square in the text
// colour with a tick when checked.
class FlatCheckDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const bool checkable = item.features & QStyleOptionViewItem::HasCheckIndicator;
        const QWidget* view = item.widget;
        QStyle* style = view ? view->style() : nullptr;
        if (!checkable || !style) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QRect box = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &item, view)
                              .adjusted(1, 1, -1, -1);
        const bool checked = item.checkState == Qt::Checked;
        // The row's background across its whole width, then the item without its indicator to
        // the right of the box.
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &item, painter, view);
        item.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        item.rect.setLeft(box.right() + 2);
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, view);
        painter->save();
        const QColor ink = item.palette.color(QPalette::Text);
        painter->setPen(ink);
        painter->setBrush(item.palette.color(QPalette::Base));
        painter->drawRect(box.adjusted(0, 0, -1, -1));
        if (checked) {
            const QPointF tick[] = {
                {box.left() + box.width() * 0.2, box.top() + box.height() * 0.5},
                {box.left() + box.width() * 0.42, box.top() + box.height() * 0.75},
                {box.left() + box.width() * 0.8, box.top() + box.height() * 0.25}};
            painter->setPen(QPen(ink, 2));
            painter->drawPolyline(tick, 3);
        }
        painter->restore();
    }
};

} // namespace

TsuiCheckListBox::TsuiCheckListBox(QWidget* owner) : TsuiFramedView(owner, 1) {
    setItemDelegate(new FlatCheckDelegate(this));
}

void TsuiCheckListBox::setBorderStyle(TBorderStyle) {
    SetFrameMargin(this, BorderWidth());
}

void TsuiCheckListBox::setBorderWidth(int) {
    SetFrameMargin(this, BorderWidth());
}

QListWidgetItem* TsuiCheckListBox::addCheckItem(const QString& text) {
    auto* item = new QListWidgetItem(text, this);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    return item;
}

static const bool styled =
    RegisterStyleRule(srCheckListBox, ApplyControlBorderColor<TsuiCheckListBox>);

} // namespace pestrel
