#include "skin/containers/SUIPageControl.h"

#include "skin/SUIPublic.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

namespace pestrel {

// --- TsuiTabSheet
// ---------------------------------------------------------------------------------

TsuiTabSheet::TsuiTabSheet(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    applyColor();
    if (auto* pageControl = qobject_cast<TsuiPageControl*>(parent))
        pageControl->insertPage(this);
}

TsuiTabSheet::~TsuiTabSheet() {
    if (pageControl_)
        pageControl_->removePage(this);
}

QString TsuiTabSheet::pageControlName() const {
    return pageControl_ ? pageControl_->objectName() : QString();
}

void TsuiTabSheet::setPageControl(const QString& name) {
    if (pageControl_ && !name.isEmpty() && pageControl_->objectName() == name &&
        pageControl_->PageCount() == pageControl_->pageNames_.size())
        pageControl_->completeLoading();
}

void TsuiTabSheet::setPageIndex(int index) {
    if (pageControl_)
        pageControl_->movePage(this, index);
}

void TsuiTabSheet::setCaption(const QString& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    setAccessibleName(SpokenCaption(caption));
    if (pageControl_)
        pageControl_->rebuildTabs();
}

bool TsuiTabSheet::TabVisible() const {
    return pageControl_ ? pageControl_->TopPanel()->TabVisible(pageIndex_) : tabVisible_;
}

void TsuiTabSheet::setTabVisible(bool visible) {
    tabVisible_ = visible;
    if (!pageControl_)
        return;
    pageControl_->TopPanel()->setTabVisible(pageIndex_, visible);
    if (visible)
        pageControl_->activateByIndex(pageIndex_);
    else
        pageControl_->selectVisibleNeighbour(pageIndex_);
}

void TsuiTabSheet::setColor(TColor color) {
    if (color == color_)
        return;
    color_ = color;
    applyColor();
    update();
}

void TsuiTabSheet::applyColor() {
    QPalette colors = palette();
    colors.setColor(QPalette::Window, ColorToQColor(color_));
    setPalette(colors);
}

void TsuiTabSheet::setBorderColor(TColor color) {
    if (color == borderColor_)
        return;
    borderColor_ = color;
    update();
}

void TsuiTabSheet::setInFocusChain(bool inChain) {
    if (inChain) {
        for (const QPointer<QWidget>& control : std::as_const(tabStopsTaken_)) {
            if (control)
                control->setFocusPolicy(Qt::FocusPolicy(control->focusPolicy() | Qt::TabFocus));
        }
        tabStopsTaken_.clear();
        return;
    }
    // Controls added since the sheet last left the chain are taken out as well.
    for (QWidget* control : findChildren<QWidget*>()) {
        if (control->focusPolicy() & Qt::TabFocus) {
            control->setFocusPolicy(Qt::FocusPolicy(control->focusPolicy() & ~Qt::TabFocus));
            tabStopsTaken_.append(control);
        }
    }
}

void TsuiTabSheet::paintEvent(QPaintEvent*) {
    QPainter canvas(this);
    canvas.fillRect(rect(), ColorToQColor(color_));
    DrawOpenTopBorder(canvas, TRect::fromQRect(rect()), 1, ColorToQColor(borderColor_));
}

bool TsuiTabSheet::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange) {
        auto* pageControl = qobject_cast<TsuiPageControl*>(parentWidget());
        if (pageControl_ && pageControl_ != pageControl)
            pageControl_->removePage(this);
        if (pageControl && !pageControl_)
            pageControl->insertPage(this);
    }
    return QWidget::event(event);
}

// --- TsuiPageControl
// ------------------------------------------------------------------------------

TsuiPageControl::TsuiPageControl(QWidget* parent)
    : TsuiTab(parent, [](TsuiTab* owner) -> TsuiTabControlTopPanel* {
          return new TsuiPageControlTopPanel(owner);
      }) {
    TopPanel()->setTabs({});
}

TsuiPageControl::~TsuiPageControl() {
    for (TsuiTabSheet* page : std::as_const(pages_))
        page->pageControl_ = nullptr;
}

void TsuiPageControl::setActivePage(TsuiTabSheet* page) {
    if (page && page->pageControl_ != this)
        return;
    activePage_ = page;
    if (!page)
        return;
    // The switch runs twice, and OnTabActive fires twice: once through the control, once through
    // the strip.
    setTabIndex(page->pageIndex_);
    TopPanel()->setTabIndex(page->pageIndex_);
    bringToFront(page);
}

TsuiTabSheet* TsuiPageControl::pageAt(int index) const {
    return index >= 0 && index < pages_.size() ? pages_[index] : nullptr;
}

QStringList TsuiPageControl::Pages() const {
    QStringList names;
    for (const TsuiTabSheet* page : pages_)
        names << page->objectName();
    return names;
}

void TsuiPageControl::setPages(const QStringList& names) {
    pageNames_ = names;
    setLoading(!names.isEmpty());
    if (!names.isEmpty() && names.size() == pages_.size())
        completeLoading();
}

void TsuiPageControl::TabActive(int index) {
    if (TsuiTabSheet* page = pageAt(index)) {
        activePage_ = page;
        bringToFront(page);
    }
    TsuiTab::TabActive(index);
}

void TsuiPageControl::ApplyUIStyleToChildren(TsuiUIStyle style) {
    for (TsuiTabSheet* page : std::as_const(pages_)) {
        page->setColor(Color());
        page->setBorderColor(BorderColor());
        ContainerApplyUIStyle(page, style);
    }
}

void TsuiPageControl::BorderColorChanged() {
    for (TsuiTabSheet* page : std::as_const(pages_))
        page->setBorderColor(BorderColor());
    if (activePage_)
        activePage_->update();
}

void TsuiPageControl::colorChanged() {
    for (TsuiTabSheet* page : std::as_const(pages_))
        page->setColor(Color());
}

void TsuiPageControl::realign() {
    TsuiTab::realign();
    for (TsuiTabSheet* page : std::as_const(pages_))
        placePage(page);
}

bool TsuiPageControl::event(QEvent* event) {
    // A layout file that named more pages than it holds: loading ends when the control is shown.
    if (event->type() == QEvent::Polish && loading()) {
        pageNames_.clear();
        setLoading(false);
    }
    return TsuiTab::event(event);
}

void TsuiPageControl::insertPage(TsuiTabSheet* sheet) {
    sheet->pageControl_ = this;
    sheet->setColor(Color());
    sheet->setBorderColor(BorderColor());
    pages_.append(sheet);
    renumber();
    rebuildTabs();
    placePage(sheet);
    setActivePage(sheet);
}

void TsuiPageControl::removePage(TsuiTabSheet* sheet) {
    const int index = static_cast<int>(pages_.indexOf(sheet));
    if (index < 0)
        return;
    QStringList tabs = TopPanel()->Tabs();
    if (index < tabs.size())
        tabs.removeAt(index);
    TopPanel()->setTabs(tabs);
    pages_.removeAt(index);
    sheet->pageControl_ = nullptr;
    sheet->pageIndex_ = -1;
    renumber();
    activateByIndex(index - 1);
}

void TsuiPageControl::movePage(TsuiTabSheet* sheet, int index) {
    const int from = static_cast<int>(pages_.indexOf(sheet));
    if (from < 0 || index < 0 || index >= pages_.size())
        return;
    pages_.move(from, index);
    renumber();
    rebuildTabs();
    setActivePage(sheet);
}

void TsuiPageControl::renumber() {
    for (int i = 0; i < pages_.size(); ++i)
        pages_[i]->pageIndex_ = i;
}

void TsuiPageControl::rebuildTabs() {
    QStringList tabs;
    for (const TsuiTabSheet* page : std::as_const(pages_))
        tabs << page->caption_;
    TopPanel()->setTabs(tabs);
}

void TsuiPageControl::activateByIndex(int index) {
    if (index < 0 || index > TopPanel()->Tabs().size() - 1) {
        setActivePage(nullptr);
        return;
    }
    setTabIndex(index);
    TopPanel()->setTabIndex(index);
    if (TsuiTabSheet* page = pageAt(index)) {
        activePage_ = page;
        bringToFront(page);
    }
}

void TsuiPageControl::selectVisibleNeighbour(int index) {
    for (int i = index - 1; i >= 0; --i) {
        if (TopPanel()->TabVisible(i)) {
            activateByIndex(i);
            return;
        }
    }
    for (int i = index + 1; i < pages_.size(); ++i) {
        if (TopPanel()->TabVisible(i)) {
            activateByIndex(i);
            return;
        }
    }
}

void TsuiPageControl::bringToFront(TsuiTabSheet* page) {
    QWidget* focus = window()->focusWidget();
    bool focusBehind = false;
    for (TsuiTabSheet* other : std::as_const(pages_)) {
        if (other == page)
            continue;
        focusBehind = focusBehind || other->isAncestorOf(focus);
        other->setInFocusChain(false);
    }
    page->setInFocusChain(true);
    page->show();
    page->raise();
    if (!focusBehind)
        return;
    for (QWidget* next = page->nextInFocusChain(); next != page; next = next->nextInFocusChain()) {
        if (page->isAncestorOf(next) && (next->focusPolicy() & Qt::TabFocus) && next->isEnabled() &&
            next->isVisibleTo(page)) {
            next->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    page->setFocus(Qt::OtherFocusReason);
}

void TsuiPageControl::placePage(TsuiTabSheet* page) const {
    const int top = TopPanel()->height();
    page->setGeometry(0, top, width(), height() - top);
}

void TsuiPageControl::completeLoading() {
    const auto position = [this](const TsuiTabSheet* page) {
        const int at = static_cast<int>(pageNames_.indexOf(page->objectName()));
        return at < 0 ? static_cast<int>(pageNames_.size()) : at;
    };
    std::stable_sort(
        pages_.begin(), pages_.end(),
        [&](const TsuiTabSheet* a, const TsuiTabSheet* b) { return position(a) < position(b); });
    renumber();
    rebuildTabs();
    for (const TsuiTabSheet* page : std::as_const(pages_))
        TopPanel()->setTabVisible(page->pageIndex_, page->tabVisible_);
    // The selected tab follows its page to the page's new place.
    if (activePage_)
        setActivePage(activePage_);
    pageNames_.clear();
    setLoading(false);
}

static const bool pageControlsStyled =
    RegisterStyleRule(srPageControl, ApplyStyle<TsuiPageControl>) &&
    RegisterStyledContainer(IsInstanceOf<TsuiTabSheet>);

} // namespace pestrel
