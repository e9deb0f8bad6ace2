#include "ui/LayoutPixels.h"

#include "skin/InterfaceFont.h"

#include <QAbstractItemView>
#include <QStyledItemDelegate>

namespace pestrel {
namespace {

class FixedHeightDelegate final : public QStyledItemDelegate {
public:
    FixedHeightDelegate(int height, QObject* parent)
        : QStyledItemDelegate(parent), height_(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
    }

private:
    int height_;
};

void ApplyTo(QWidget* widget) {
    if (const QVariant height = widget->property("fontPixelHeight"); height.isValid()) {
        QFont font = widget->font();
        font.setPixelSize(height.toInt());
        widget->setFont(font);
    }
    if (const QVariant height = widget->property("FontPixelHeight"); height.isValid()) {
        QFont font = widget->property("Font").value<QFont>();
        font.setPixelSize(height.toInt());
        widget->setProperty("Font", font);
    }
    if (const QVariant height = widget->property("itemHeight"); height.isValid()) {
        if (auto* view = qobject_cast<QAbstractItemView*>(widget)) {
            view->setItemDelegate(new FixedHeightDelegate(height.toInt(), view));
            view->setFont(FitRowHeight(view->font(), height.toInt()));
        }
    }
}

} // namespace

void ApplyLayoutPixels(QWidget* root) {
    ApplyTo(root);
    for (QWidget* child : root->findChildren<QWidget*>())
        ApplyTo(child);
}

} // namespace pestrel
