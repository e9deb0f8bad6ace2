#pragma once
// The skinned page control: a tab strip whose tabs are its TsuiTabSheet pages. All pages fill the
// area below the strip; the active one is on top, and only its controls take the keyboard focus.
// A sheet joins the page control it is made a child of (in a layout file: the pages in file
// order) and leaves it when it gets another parent or is destroyed.

#include "skin/containers/SUITabControl.h"

#include <QList>
#include <QPointer>
#include <QStringList>

namespace pestrel {

class TsuiPageControl;

class TsuiTabSheet : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int PageIndex READ PageIndex WRITE setPageIndex)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool TabVisible READ TabVisible WRITE setTabVisible)
    Q_PROPERTY(uint Color READ Color WRITE setColor)
    // The page control's object name, as a layout file stores it.
    Q_PROPERTY(QString PageControl READ pageControlName WRITE setPageControl)

public:
    explicit TsuiTabSheet(QWidget* parent = nullptr);
    ~TsuiTabSheet() override;

    TsuiPageControl* PageControl() const { return pageControl_; }
    QString pageControlName() const;
    // A layout file's reference: completes the page order once the last page has arrived. Only
    // the sheet's own parent is accepted.
    void setPageControl(const QString& name);
    // -1 outside a page control.
    int PageIndex() const { return pageIndex_; }
    // Moves the page within its page control; ignored outside one and for an index out of range.
    void setPageIndex(int index);
    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    bool TabVisible() const;
    // Showing a tab activates its page, also when it was already shown; hiding it activates the
    // nearest visible page before it, else after it.
    void setTabVisible(bool visible);
    TColor Color() const { return color_; }
    void setColor(TColor color);
    TColor BorderColor() const { return borderColor_; }
    void setBorderColor(TColor color);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    friend class TsuiPageControl;

    // Hands the page colour to the palette, where children that take their parent's colour find
    // it.
    void applyColor();
    // Out of the chain, the sheet's controls cannot be reached with Tab; back in, they can again.
    void setInFocusChain(bool inChain);

    TsuiPageControl* pageControl_ = nullptr;
    int pageIndex_ = -1;
    QString caption_;
    TColor borderColor_ = clBlack;
    bool tabVisible_ = true;
    TColor color_ = clBtnFace;
    QList<QPointer<QWidget>> tabStopsTaken_;
};

class TsuiPageControlTopPanel : public TsuiTabControlTopPanel {
    Q_OBJECT

public:
    using TsuiTabControlTopPanel::TsuiTabControlTopPanel;
};

class TsuiPageControl : public TsuiTab {
    Q_OBJECT
    Q_PROPERTY(pestrel::TsuiTabSheet* ActivePage READ ActivePage WRITE setActivePage)
    Q_PROPERTY(int PageCount READ PageCount)
    // The pages' object names in tab order. A layout file sets it before the pages arrive; the
    // pages are put in this order when the last one names its page control.
    Q_PROPERTY(QStringList Pages READ Pages WRITE setPages)

public:
    explicit TsuiPageControl(QWidget* parent = nullptr);
    ~TsuiPageControl() override;

    TsuiTabSheet* ActivePage() const { return activePage_; }
    // Brings `page` (one of the pages, or none) to the front and selects its tab; the page switch
    // runs twice, so OnTabActive fires twice outside loading.
    void setActivePage(TsuiTabSheet* page);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    TsuiTabSheet* pageAt(int index) const;
    QStringList Pages() const;
    void setPages(const QStringList& names);

protected:
    void TabActive(int index) override;
    void ApplyUIStyleToChildren(TsuiUIStyle style) override;
    void BorderColorChanged() override;
    void colorChanged() override;
    void realign() override;
    bool event(QEvent* event) override;

private:
    friend class TsuiTabSheet;

    void insertPage(TsuiTabSheet* sheet);
    void removePage(TsuiTabSheet* sheet);
    void movePage(TsuiTabSheet* sheet, int index);
    void renumber();
    void rebuildTabs();
    void activateByIndex(int index);
    void selectVisibleNeighbour(int index);
    // Shows `page` on top; the pages behind it leave the focus chain, and a focus that was on one
    // of them moves to `page`.
    void bringToFront(TsuiTabSheet* page);
    void placePage(TsuiTabSheet* page) const;
    // Orders the pages by the names of the layout file and ends loading.
    void completeLoading();

    QList<TsuiTabSheet*> pages_;
    QPointer<TsuiTabSheet> activePage_;
    QStringList pageNames_;
};

} // namespace pestrel
