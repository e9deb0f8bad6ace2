#pragma once
// A tree view with the skinned controls' flat frame (see SUIFramedView.h).

#include "skin/framed/SUIFramedView.h"

namespace pestrel {

class TsuiTreeView : public TsuiFramedView<QTreeWidget> {
    Q_OBJECT
    Q_PROPERTY(pestrel::TColor BorderColor READ BorderColor WRITE setBorderColor)

public:
    explicit TsuiTreeView(QWidget* owner = nullptr);
};

} // namespace pestrel
