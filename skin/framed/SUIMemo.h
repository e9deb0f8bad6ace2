#pragma once
// A multi-line plain text editor with the flat two-colour frame of the skinned controls in place of
// the system border; scrolling, selection, editing and keys are the base view's own.

#include "toolkit/Color.h"

#include <QPlainTextEdit>

namespace pestrel {

class TsuiMemo : public QPlainTextEdit {
    Q_OBJECT
    Q_PROPERTY(pestrel::TColor BorderColor READ BorderColor WRITE setBorderColor)

public:
    // BorderColor starts as the control border colour of `owner`'s skinned form.
    explicit TsuiMemo(QWidget* owner = nullptr);

    TColor BorderColor() const { return borderColor_; }
    void setBorderColor(TColor color);

protected:
    bool event(QEvent* event) override;

private:
    TColor borderColor_;
};

} // namespace pestrel
