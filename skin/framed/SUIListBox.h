#pragma once
// A list box with the skinned controls' flat frame (see SUIFramedView.h).

#include "skin/framed/SUIFramedView.h"

namespace pestrel {

class TsuiListBox : public TsuiFramedView<QListWidget> {
    Q_OBJECT
    Q_PROPERTY(pestrel::TColor BorderColor READ BorderColor WRITE setBorderColor)

public:
    explicit TsuiListBox(QWidget* owner = nullptr);
};

} // namespace pestrel
