#pragma once
// The skinned frame of a window. Placed on its host window (in code or as a custom widget of a
// layout file), it paints a border round itself, carries the title bar and hands the window's
// geometry (outline, moving, resizing, maximising) to its frame helper. It watches the host:
// activation, size changes, menu shortcuts. Setting its style restyles the title bar and the
// skinned controls on it.

#include "skin/SUIThemes.h"
#include "skin/window/SUIFormFrame.h"
#include "skin/window/SUITitleBar.h"

#include <QMargins>
#include <QMenu>
#include <QPointer>
#include <QWidget>

namespace pestrel {

class TsuiMenuBar;

// The border on the host's own surface: left, bottom and right strips `borderWidth` wide and a
// one-pixel line along the top, for a host whose client area has the size `client`.
void PaintFormBorder(QPainter& canvas, const QSize& client, int borderWidth, TColor color);

class TsuiForm : public QWidget, public TsuiFormStyleSource {
    Q_OBJECT
    Q_PROPERTY(int PanelWidth READ PanelWidth WRITE setPanelWidth STORED false)
    Q_PROPERTY(int PanelHeight READ PanelHeight WRITE setPanelHeight STORED false)
    Q_PROPERTY(pestrel::uistyle::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(pestrel::TColor BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth)
    Q_PROPERTY(pestrel::TColor Color READ Color WRITE setColor)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(QWidget* FormPanel READ FormPanel WRITE setFormPanel)
    Q_PROPERTY(bool TitleBarDrawAppIcon READ TitleBarDrawAppIcon WRITE setTitleBarDrawAppIcon)
    Q_PROPERTY(QFont TitleFont READ TitleFont WRITE setTitleFont)
    Q_PROPERTY(pestrel::TColor FontColor READ FontColor WRITE setFontColor)
    Q_PROPERTY(QMenu* Menu READ Menu WRITE setMenu)
    Q_PROPERTY(pestrel::TColor MenuBarColor READ MenuBarColor WRITE setMenuBarColor)
    Q_PROPERTY(int MenuBarHeight READ MenuBarHeight WRITE setMenuBarHeight)

public:
    // `host` is the window to frame; it may carry only one TsuiForm (std::runtime_error
    // otherwise, the host left untouched).
    explicit TsuiForm(QWidget* host);
    ~TsuiForm() override;

    // The panel's own size; writing sizes the host for a panel of that size. Named apart from
    // QWidget's width and height, which only read.
    int PanelWidth() const { return width(); }
    void setPanelWidth(int value);
    int PanelHeight() const { return height(); }
    void setPanelHeight(int value);

    TsuiUIStyle UIStyle() const { return style_; }
    // Except for Custom: border, colours, title bar, menu style and the skinned controls on the
    // frame follow the style. Setting the same style applies it again.
    void setUIStyle(TsuiUIStyle value);
    TColor BorderColor() const { return borderColor_; }
    void setBorderColor(TColor value);
    int BorderWidth() const { return borderWidth_; }
    void setBorderWidth(int value);
    TColor Color() const { return color_; }
    // Also the window colour of the frame's palette, which its children inherit.
    void setColor(TColor value);
    QString Caption() const { return titleBar_->Caption(); }
    // Also the host's window title.
    void setCaption(const QString& value);
    QWidget* FormPanel() const { return formPanel_; }
    // Fills the frame below the title bar; the frame itself is refused with a message.
    void setFormPanel(QWidget* value);
    TsuiTitleBarButtons& TitleBarButtons() { return titleBar_->Buttons(); }
    void setTitleBarButtons(const TsuiTitleBarButtons& value) { titleBar_->setButtons(value); }
    TsuiTitleBarSections& TitleBarSections() { return titleBar_->Sections(); }
    void setTitleBarSections(const TsuiTitleBarSections& value) { titleBar_->setSections(value); }
    bool TitleBarDrawAppIcon() const { return titleBar_->DrawAppIcon(); }
    void setTitleBarDrawAppIcon(bool value) { titleBar_->setDrawAppIcon(value); }
    // The title bar's caption font and colour; the frame's own font is QWidget's.
    QFont TitleFont() const { return titleBar_->font(); }
    void setTitleFont(const QFont& value) { titleBar_->setFont(value); }
    TColor FontColor() const { return titleBar_->FontColor(); }
    void setFontColor(TColor value) { titleBar_->setFontColor(value); }
    // The window's main menu, shown in a flat bar under the title bar (none without a menu):
    // its shortcuts work in the host window; a menu with a UIStyle property follows the frame's
    // style unless it is Custom.
    QMenu* Menu() const { return menu_; }
    void setMenu(QMenu* value);
    TColor MenuBarColor() const { return menuBarColor_; }
    void setMenuBarColor(TColor value);
    int MenuBarHeight() const { return menuBarHeight_; }
    void setMenuBarHeight(int value);
    TsuiMenuBar* MenuBar() const { return menuBar_; }
    // Told by the menu when its top-level items, captions or font settings change.
    void RebuildMenuBar();
    void UpdateMenuBarCaptions();
    void UpdateMenuBarFont();

    TsuiTitleBar* TitleBar() const { return titleBar_; }
    QWidget* HostForm() const { return host_; }
    TsuiFormFrame* frame() const { return frame_; }

    // The panel at (BW, 0) sized (CW - 2 BW, CH - BW) in the host's client area of CW x CH.
    void UpdateInnerBounds();
    // Repaints the border on the host.
    void DrawFormBorder();

    TsuiUIStyle formUIStyle() const override { return style_; }
    TColor formColor() const override { return color_; }

signals:
    void OnTitleBarCustomBtnsClick(pestrel::TsuiTitleBar* sender, int buttonIndex);
    void OnTitleBarHelpBtnClick(pestrel::TsuiTitleBar* sender, int buttonIndex);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool hostEvent(QEvent* event);
    bool applicationEvent(QObject* receiver, QEvent* event);
    void hostResized();
    void layOutContent();

    QWidget* host_;
    TsuiTitleBar* titleBar_ = nullptr;
    TsuiFormFrame* frame_ = nullptr;
    QPointer<QWidget> formPanel_;
    QPointer<QMenu> menu_;
    TsuiMenuBar* menuBar_ = nullptr;
    TsuiUIStyle style_ = TsuiUIStyle::DeepBlue;
    TColor borderColor_ = clBlack;
    int borderWidth_ = 1;
    TColor color_ = clBtnFace;
    TColor menuBarColor_ = clBtnFace;
    int menuBarHeight_ = 22;
    QMargins hostMargins_; // the host's own contents margins, given back at the end
};

} // namespace pestrel
