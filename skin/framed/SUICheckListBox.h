#pragma once
// A list of checkable items with a one-pixel flat frame and flat check boxes. Its border style and
// width are fixed: whatever a layout stores, it reads back a single border one pixel wide.

#include "skin/framed/SUIFramedView.h"

namespace pestrel {

class TsuiCheckListBox : public TsuiFramedView<QListWidget> {
    Q_OBJECT
    Q_PROPERTY(pestrel::TColor BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(TBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth)

public:
    enum TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)

    // BorderColor starts as the control border colour of `owner`'s skinned form.
    explicit TsuiCheckListBox(QWidget* owner = nullptr);

    // Always bsSingle; writing any value keeps the flat frame and no system border.
    TBorderStyle BorderStyle() const { return bsSingle; }
    void setBorderStyle(TBorderStyle style);
    // Always 1; writing any value sets the margin to one pixel.
    int BorderWidth() const { return 1; }
    void setBorderWidth(int width);

    // Appends an unchecked, checkable item.
    QListWidgetItem* addCheckItem(const QString& text);
};

} // namespace pestrel
