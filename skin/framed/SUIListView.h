#pragma once
// A list view in report style: rows of columns under a header, no tree lines with the flat
// two-colour frame of the skinned controls in place of the system border; scrolling, selection,
// editing and keys are the base view's own.

#include "toolkit/Color.h"

#include <QTreeWidget>

namespace pestrel {

class TsuiListView : public QTreeWidget {
    Q_OBJECT
    Q_PROPERTY(pestrel::TColor BorderColor READ BorderColor WRITE setBorderColor)

public:
    // BorderColor starts as the control border colour of `owner`'s skinned form.
    explicit TsuiListView(QWidget* owner = nullptr);

    TColor BorderColor() const { return borderColor_; }
    void setBorderColor(TColor color);

protected:
    bool event(QEvent* event) override;

private:
    TColor borderColor_;
};

} // namespace pestrel
