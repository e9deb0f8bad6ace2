#pragma once
// A multi-line plain text editor with the skinned controls' flat frame (see SUIFramedView.h).

#include "skin/framed/SUIFramedView.h"

namespace pestrel {

class TsuiMemo : public TsuiFramedView<QPlainTextEdit> {
    Q_OBJECT
    Q_PROPERTY(pestrel::TColor BorderColor READ BorderColor WRITE setBorderColor)

public:
    explicit TsuiMemo(QWidget* owner = nullptr);
};

} // namespace pestrel
