#pragma once
// A one-line editor with the flat two-colour frame of the skinned controls in place of the system
// border; editing, selection and keys are the base editor's own.

#include "toolkit/Color.h"

#include <QLineEdit>

namespace pestrel {

class TsuiEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(pestrel::TColor BorderColor READ BorderColor WRITE setBorderColor)

public:
    // BorderColor starts as the control border colour of `owner`'s skinned form.
    explicit TsuiEdit(QWidget* owner = nullptr);

    TColor BorderColor() const { return borderColor_; }
    void setBorderColor(TColor color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TColor borderColor_;
};

} // namespace pestrel
