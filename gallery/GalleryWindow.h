#pragma once
// The gallery window: a skinned form carrying a style chooser, a "disable all" switch and a page
// control with one page per family of skinned controls. Changing the style restyles the whole
// window through the form's style walk, as any skinned window is restyled.

#include "skin/SUIThemes.h"

#include <QStringList>
#include <QWidget>
#include <optional>

class QCheckBox;
class QComboBox;

namespace pestrel {
class TsuiForm;
class TsuiPageControl;
} // namespace pestrel

namespace pestrel::gallery {

// The five built-in styles by name, in the theme table's order.
QStringList StyleNames();
// The built-in style of that name, compared without case; none for Custom or an unknown name.
std::optional<TsuiUIStyle> StyleFromName(const QString& name);

class TGalleryWindow : public QWidget {
    Q_OBJECT

public:
    explicit TGalleryWindow(TsuiUIStyle style = TsuiUIStyle::WinXP);

    TsuiForm* form() const { return form_; }
    TsuiPageControl* PageControl() const { return pages_; }

    void setSkin(TsuiUIStyle style);
    // False, and the page stays, when no page has that object name.
    bool showPage(const QString& objectName);
    void setAllDisabled(bool disabled);
    // "<objectName> <x> <y> <width> <height>" for every named control, relative to the window.
    QStringList layoutLines() const;

private:
    TsuiForm* form_;
    QComboBox* styleChooser_;
    QCheckBox* disableAll_;
    TsuiPageControl* pages_;
};

} // namespace pestrel::gallery
