#pragma once
// The skinned frame of a window: the component placed on its host window (in code or as a custom
// widget of a layout file). It is the panel inside the border; its properties set the window's
// chrome (border, title bar, menu bar), which one TsuiWindowChrome owns and drives. Setting its
// style restyles the chrome and the skinned controls on it.

#include "skin/SUIThemes.h"
#include "skin/window/SUITitleBar.h"
#include "skin/window/SUIWindowChrome.h"

#include <QMenu>
#include <QWidget>
#include <memory>

namespace pestrel {

class TsuiMenuBar;

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
    TColor BorderColor() const { return chrome_->borderColor(); }
    void setBorderColor(TColor value) { chrome_->setBorderColor(value); }
    int BorderWidth() const { return chrome_->borderWidth(); }
    void setBorderWidth(int value) { chrome_->setBorderWidth(value); }
    TColor Color() const { return color_; }
    // Also the window colour of the frame's palette, which its children inherit.
    void setColor(TColor value);
    QString Caption() const { return TitleBar()->Caption(); }
    // Also the host's window title.
    void setCaption(const QString& value);
    QWidget* FormPanel() const { return chrome_->client(); }
    // Fills the frame below the title bar; the frame itself is refused with a message.
    void setFormPanel(QWidget* value);
    TsuiTitleBarButtons& TitleBarButtons() { return TitleBar()->Buttons(); }
    void setTitleBarButtons(const TsuiTitleBarButtons& value) { TitleBar()->setButtons(value); }
    TsuiTitleBarSections& TitleBarSections() { return TitleBar()->Sections(); }
    void setTitleBarSections(const TsuiTitleBarSections& value) { TitleBar()->setSections(value); }
    bool TitleBarDrawAppIcon() const { return TitleBar()->DrawAppIcon(); }
    void setTitleBarDrawAppIcon(bool value) { TitleBar()->setDrawAppIcon(value); }
    // The title bar's caption font and color; the frame's own font is QWidget's.
    QFont TitleFont() const { return TitleBar()->font(); }
    void setTitleFont(const QFont& value) { TitleBar()->setFont(value); }
    TColor FontColor() const { return TitleBar()->FontColor(); }
    void setFontColor(TColor value) { TitleBar()->setFontColor(value); }
    // The window's main menu, shown in a flat bar under the title bar (none without a menu):
    // its shortcuts work in the host window; a menu with a UIStyle property follows the frame's
    // style unless it is Custom. A skinned main menu made on the host becomes it by itself.
    QMenu* Menu() const { return chrome_->menu(); }
    void setMenu(QMenu* value) { chrome_->setMenu(value); }
    TColor MenuBarColor() const { return chrome_->menuBarColor(); }
    void setMenuBarColor(TColor value) { chrome_->setMenuBarColor(value); }
    int MenuBarHeight() const { return chrome_->menuBarHeight(); }
    void setMenuBarHeight(int value) { chrome_->setMenuBarHeight(value); }
    TsuiMenuBar* MenuBar() const { return chrome_->menuBar(); }
    // The menu bar takes the menu's top-level items, their captions, its font settings anew. A
    // skinned menu's bar does so by itself when the menu announces a change.
    void RebuildMenuBar();
    void UpdateMenuBarCaptions();
    void UpdateMenuBarFont();

    TsuiTitleBar* TitleBar() const { return chrome_->titleBar(); }
    QWidget* HostForm() const { return host_; }
    TsuiFormFrame* frame() const { return &chrome_->frame(); }

    // The panel at (BW, 0) sized (CW - 2 BW, CH - BW) in the host's client area of CW x CH.
    void UpdateInnerBounds() { chrome_->updateInnerBounds(); }
    // Repaints the border on the host.
    void DrawFormBorder() { chrome_->drawBorder(); }

    TsuiUIStyle formUIStyle() const override { return style_; }
    TColor formColor() const override { return color_; }

signals:
    void OnTitleBarCustomBtnsClick(pestrel::TsuiTitleBar* sender, int buttonIndex);
    void OnTitleBarHelpBtnClick(pestrel::TsuiTitleBar* sender, int buttonIndex);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* host_;
    std::unique_ptr<TsuiWindowChrome> chrome_;
    TsuiUIStyle style_ = TsuiUIStyle::DeepBlue;
    TColor color_ = clBtnFace;
};

} // namespace pestrel
