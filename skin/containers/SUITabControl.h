#pragma once
// The tab strip and the skinned tab control built on it. A TsuiTab is a borderless panel with a
// tab strip along its top; the strip paints the style's tab pictures, measures each tab from its
// caption and selects the tab under a mouse press; with the keyboard focus, Left and Right
// select the tab beside the selected one.

#include "skin/SUIThemes.h"
#include "toolkit/Color.h"

#include <QFont>
#include <QImage>
#include <QStringList>
#include <QWidget>
#include <array>

namespace pestrel {

class TsuiTab;

// The per-tab tables hold this many entries; widths are recorded for the first
// TabSelectableCount tabs only, so later tabs are drawn but cannot be hit with the mouse.
constexpr int TabTableSize = 64;
constexpr int TabSelectableCount = 63;

class TsuiTabControlTopPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(pestrel::uistyle::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(QStringList Tabs READ Tabs WRITE setTabs)
    Q_PROPERTY(int TabIndex READ TabIndex WRITE setTabIndex)
    Q_PROPERTY(int LeftMargin READ LeftMargin WRITE setLeftMargin)

public:
    explicit TsuiTabControlTopPanel(TsuiTab* owner);

    TsuiUIStyle UIStyle() const { return uiStyle_; }
    void setUIStyle(TsuiUIStyle style);
    const QStringList& Tabs() const { return tabs_; }
    void setTabs(const QStringList& tabs);
    int TabIndex() const { return tabIndex_; }
    // -1 .. the last tab selects and tells the owner, also when unchanged: the page control relies
    // on the notice to bring the page to the front. With no tabs the index becomes -1 quietly; any
    // other index is ignored.
    void setTabIndex(int index);
    int LeftMargin() const { return leftMargin_; }
    void setLeftMargin(int margin);
    // The strip's own colour: what shows where nothing lies behind the owner.
    TColor Color() const { return color_; }
    void setColor(TColor color);

    QString ActiveTabResName() const { return activeTabResName_; }
    QString InactiveTabResName() const { return inactiveTabResName_; }
    QString LineResName() const { return lineResName_; }
    // As last painted: -1 never painted, 0 hidden, else the tab's width.
    int TabWidth(int index) const;
    // The height of the active tab picture as last painted; presses below it miss every tab.
    int TabHeight() const { return tabHeight_; }
    // Tabs past the table are always visible.
    bool TabVisible(int index) const;
    void setTabVisible(int index, bool visible);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    TsuiTab* owner_;
    QStringList tabs_;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::Custom;
    QString activeTabResName_;
    QString inactiveTabResName_;
    QString lineResName_;
    int tabIndex_ = 0;
    int leftMargin_ = 10;
    std::array<int, TabTableSize> tabWidths_;
    int tabHeight_ = 0;
    std::array<bool, TabTableSize> tabVisibleFlags_;
    TColor color_ = clBtnFace;
};

class TsuiTab : public QWidget {
    Q_OBJECT
    Q_PROPERTY(pestrel::uistyle::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(int LeftMargin READ LeftMargin WRITE setLeftMargin)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(uint Color READ Color WRITE setColor)
    // The tab captions' font, separate from the widget's own `font`: layout files store it as
    // "Font" (stdset="0"), so the name stays; in code it is TabFont.
    Q_PROPERTY(QFont Font READ TabFont WRITE setTabFont)

public:
    TsuiUIStyle UIStyle() const { return uiStyle_; }
    // Custom is ignored.
    void setUIStyle(TsuiUIStyle style);
    int LeftMargin() const;
    void setLeftMargin(int margin);
    TColor BorderColor() const { return borderColor_; }
    void setBorderColor(TColor color);
    TColor Color() const { return color_; }
    void setColor(TColor color);
    const QFont& TabFont() const { return tabFont_; }
    void setTabFont(const QFont& font);
    int TabIndex() const;
    // Forwards to the strip.
    virtual void setTabIndex(int index);

    TsuiTabControlTopPanel* TopPanel() const { return topPanel_; }

signals:
    void OnTabActive(int TabIndex);

protected:
    using TopPanelFactory = TsuiTabControlTopPanel* (*)(TsuiTab* owner);
    // `CreateTopPanel` makes the strip; the style is taken from the skinned form of `parent`'s
    // window.
    TsuiTab(QWidget* parent, TopPanelFactory CreateTopPanel);

    virtual void BorderColorChanged() {}
    virtual void colorChanged() {}
    // Called by the strip whenever a tab is selected; fires OnTabActive unless loading.
    virtual void TabActive(int index);
    virtual void ApplyUIStyleToChildren(TsuiUIStyle style);
    // Places the strip along the top, at its own height.
    virtual void realign();

    bool loading() const { return loading_; }
    void setLoading(bool loading) { loading_ = loading; }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TsuiTabControlTopPanel;

    TsuiTabControlTopPanel* topPanel_;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::Custom;
    TColor borderColor_ = clBlack;
    TColor color_ = clBtnFace;
    QFont tabFont_;
    bool loading_ = false;
};

// Tabs that are plain strings; selecting one only fires OnTabActive.
class TsuiTabControl : public TsuiTab {
    Q_OBJECT
    Q_PROPERTY(QStringList Tabs READ Tabs WRITE setTabs)
    Q_PROPERTY(int TabIndex READ TabIndex WRITE setTabIndex)

public:
    explicit TsuiTabControl(QWidget* parent = nullptr);

    const QStringList& Tabs() const { return TopPanel()->Tabs(); }
    void setTabs(const QStringList& tabs) { TopPanel()->setTabs(tabs); }
};

} // namespace pestrel
