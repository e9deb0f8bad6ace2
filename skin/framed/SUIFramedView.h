#pragma once
// A Qt scrolling view with the flat two-colour frame of the skinned controls in place of the system
// border; scrolling, selection, editing and keys are the base view's own. The named controls
// derive from it, one per base view.

#include "toolkit/Color.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace pestrel {

template <class View> class TsuiFramedView : public View {
public:
    // BorderColor starts as the control border colour of `owner`'s skinned form; the frame
    // takes a margin of `margin` pixels round the viewport.
    explicit TsuiFramedView(QWidget* owner, int margin = 2);

    TColor BorderColor() const { return borderColor_; }
    void setBorderColor(TColor color);

protected:
    bool event(QEvent* event) override;

private:
    TColor borderColor_;
};

extern template class TsuiFramedView<QListWidget>;
extern template class TsuiFramedView<QPlainTextEdit>;
extern template class TsuiFramedView<QTreeWidget>;

} // namespace pestrel
