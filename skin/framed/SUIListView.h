#pragma once
// A list view in report style: rows of columns under a header, no tree lines, with the skinned
// controls' flat frame (see SUIFramedView.h).

#include "skin/framed/SUIFramedView.h"

namespace pestrel {

class TsuiListView : public TsuiFramedView<QTreeWidget> {
    Q_OBJECT
    Q_PROPERTY(pestrel::TColor BorderColor READ BorderColor WRITE setBorderColor)

public:
    explicit TsuiListView(QWidget* owner = nullptr);
};

} // namespace pestrel
