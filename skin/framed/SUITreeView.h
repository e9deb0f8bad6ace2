#pragma once
// A tree view with the flat two-colour frame of the skinned controls in place of the system border;
// scrolling, selection, editing and keys are the base view's own.

#include "toolkit/Color.h"

#include <QTreeWidget>

namespace pestrel {

class TsuiTreeView : public QTreeWidget {
    Q_OBJECT
    Q_PROPERTY(pestrel::TColor BorderColor READ BorderColor WRITE setBorderColor)

public:
    // BorderColor starts as the control border colour of `owner`'s skinned form.
    explicit TsuiTreeView(QWidget* owner = nullptr);

    TColor BorderColor() const { return borderColor_; }
    void setBorderColor(TColor color);

protected:
    bool event(QEvent* event) override;

private:
    TColor borderColor_;
};

} // namespace pestrel
