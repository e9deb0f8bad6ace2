#pragma once
// The two collections a title bar draws from: picture sections laid out from both ends, and
// picture buttons. Every change to an item repaints the bar that owns the collection.

#include "skin/SUIThemes.h"
#include "toolkit/Picture.h"

#include <QImage>
#include <QMenu>
#include <QPointer>
#include <cstdint>
#include <memory>
#include <vector>

namespace pestrel {

enum class TsuiTitleBarBtnType : std::uint8_t {
    suiMax,
    suiMin,
    suiClose,
    suiHelp,
    suiControlBox,
    suiCustom
};
enum class TsuiTitleBarAlign : std::uint8_t { suiLeft, suiRight, suiClient };

class TsuiTitleBar;

template <class Item> class TsuiTitleBarCollection {
public:
    // `owner` may be null for a collection that only holds values.
    explicit TsuiTitleBarCollection(TsuiTitleBar* owner) : owner_(owner) {}
    TsuiTitleBarCollection(const TsuiTitleBarCollection&) = delete;
    TsuiTitleBarCollection& operator=(const TsuiTitleBarCollection&) = delete;

    TsuiTitleBar* owner() const { return owner_; }
    int count() const { return static_cast<int>(items_.size()); }
    Item& operator[](int index) const { return *items_.at(index); }
    int indexOf(const Item* item) const;
    Item& add();
    void clear();
    // Replaces the items with copies of `other`'s, values taken as they are.
    void assign(const TsuiTitleBarCollection& other);
    // Repaints the owner.
    void changed() const;

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    TsuiTitleBar* owner_;
    std::vector<std::unique_ptr<Item>> items_;
};

class TsuiTitleBarSection;
class TsuiTitleBarButton;
using TsuiTitleBarSections = TsuiTitleBarCollection<TsuiTitleBarSection>;
using TsuiTitleBarButtons = TsuiTitleBarCollection<TsuiTitleBarButton>;

class TsuiTitleBarSection {
public:
    explicit TsuiTitleBarSection(const TsuiTitleBarSections* collection)
        : collection_(collection) {}
    void assign(const TsuiTitleBarSection& other);

    bool AutoSize() const { return autoSize_; }
    // Whenever the picture holds a graphic, Width becomes the picture's width.
    void setAutoSize(bool value);
    int Width() const { return width_; }
    void setWidth(int value);
    TsuiTitleBarAlign Align() const { return align_; }
    // A second suiClient section is refused with a message; suiClient forces Stretch.
    void setAlign(TsuiTitleBarAlign value);
    const TPicture& Picture() const { return picture_; }
    void setPicture(const TPicture& value);
    bool Stretch() const { return stretch_; }
    // A suiClient section stays stretched.
    void setStretch(bool value);

    // The picture resized to `size` without smoothing; kept until the size or picture changes.
    const QImage& stretchedTo(const QSize& size) const;

private:
    const TsuiTitleBarSections* collection_;
    bool autoSize_ = false;
    int width_ = 10;
    TsuiTitleBarAlign align_ = TsuiTitleBarAlign::suiLeft;
    TPicture picture_;
    bool stretch_ = false;
    mutable QImage stretched_;
};

class TsuiTitleBarButton {
public:
    explicit TsuiTitleBarButton(const TsuiTitleBarButtons* collection) : collection_(collection) {}
    void assign(const TsuiTitleBarButton& other);

    TsuiTitleBarBtnType ButtonType() const { return type_; }
    // A second suiControlBox button is refused with a message.
    void setButtonType(TsuiTitleBarBtnType value);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool value);
    int Top() const { return top_; }
    void setTop(int value);
    TsuiUIStyle UIStyle() const { return style_; }
    // Reloads the style's pictures even when the style stays: that is how a restyle undoes
    // pictures and settings changed since.
    void setUIStyle(TsuiUIStyle value);
    QMenu* ControlBoxMenu() const { return controlBoxMenu_; }
    void setControlBoxMenu(QMenu* value);

    const TPicture& PicNormal() const { return pictures_[Normal]; }
    const TPicture& PicMouseOn() const { return pictures_[MouseOn]; }
    const TPicture& PicMouseDown() const { return pictures_[MouseDown]; }
    // Only suiCustom and suiControlBox buttons take pictures; others refuse with a message.
    void setPicNormal(const TPicture& value) { setPicture(Normal, value); }
    void setPicMouseOn(const TPicture& value) { setPicture(MouseOn, value); }
    void setPicMouseDown(const TPicture& value) { setPicture(MouseDown, value); }

    // Loads the style's pictures, Transparent and Top for the button's type (not for Custom).
    void UpdateStylePictures();
    // A maximise button shows the restore pictures while its window is maximised.
    void UpdateMaxRestorePictures();

    enum State { Normal, MouseOn, MouseDown };
    // The picture as painted: with Transparent, its bottom-left colour keyed out.
    const QImage& drawnPicture(State state) const { return drawn_[state]; }

private:
    void setPicture(State state, const TPicture& value);
    void loadPictures(int firstThemeIndex);
    void picturesChanged();

    const TsuiTitleBarButtons* collection_;
    TsuiTitleBarBtnType type_ = TsuiTitleBarBtnType::suiCustom;
    bool transparent_ = false;
    int top_ = 2;
    TsuiUIStyle style_ = TsuiUIStyle::DeepBlue;
    QPointer<QMenu> controlBoxMenu_;
    TPicture pictures_[3];
    QImage drawn_[3];
};

} // namespace pestrel
