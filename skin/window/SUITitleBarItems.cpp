#include "skin/window/SUITitleBarItems.h"

#include "skin/SUIMessages.h"
#include "skin/SUIPublic.h"
#include "skin/window/SUITitleBar.h"
#include "toolkit/ImageList.h"

namespace pestrel {

// --- collections ---------------------------------------------------------------------------------
template <class Item> int TsuiTitleBarCollection<Item>::indexOf(const Item* item) const {
    for (int i = 0; i < count(); ++i) {
        if (items_[i].get() == item)
            return i;
    }
    return -1;
}

template <class Item> Item& TsuiTitleBarCollection<Item>::add() {
    items_.push_back(std::make_unique<Item>(this));
    changed();
    return *items_.back();
}

template <class Item> void TsuiTitleBarCollection<Item>::clear() {
    items_.clear();
    changed();
}

template <class Item>
void TsuiTitleBarCollection<Item>::assign(const TsuiTitleBarCollection& other) {
    if (&other == this)
        return;
    items_.clear();
    for (const auto& item : other.items_) {
        items_.push_back(std::make_unique<Item>(this));
        items_.back()->assign(*item);
    }
    changed();
}

template <class Item> void TsuiTitleBarCollection<Item>::changed() const {
    if (owner_)
        owner_->update();
}

template class TsuiTitleBarCollection<TsuiTitleBarSection>;
template class TsuiTitleBarCollection<TsuiTitleBarButton>;

// --- sections ------------------------------------------------------------------------------------
void TsuiTitleBarSection::assign(const TsuiTitleBarSection& other) {
    autoSize_ = other.autoSize_;
    width_ = other.width_;
    align_ = other.align_;
    picture_ = other.picture_;
    stretched_ = QImage();
    stretch_ = other.stretch_;
    collection_->changed();
}

void TsuiTitleBarSection::setAutoSize(bool value) {
    const int width = picture_.empty() ? width_ : picture_.width();
    if (value == autoSize_ && width == width_)
        return;
    autoSize_ = value;
    width_ = width;
    collection_->changed();
}

void TsuiTitleBarSection::setWidth(int value) {
    if (value == width_)
        return;
    width_ = value;
    collection_->changed();
}

void TsuiTitleBarSection::setAlign(TsuiTitleBarAlign value) {
    if (value == TsuiTitleBarAlign::suiClient) {
        for (const auto& section : *collection_) {
            if (section->align_ == TsuiTitleBarAlign::suiClient) {
                ShowSkinInformation(QStringLiteral(
                    "Sorry, only one section's Align property can be \"suiClient\""));
                return;
            }
        }
    }
    const bool stretch = stretch_ || value == TsuiTitleBarAlign::suiClient;
    if (value == align_ && stretch == stretch_)
        return;
    align_ = value;
    stretch_ = stretch;
    collection_->changed();
}

void TsuiTitleBarSection::setPicture(const TPicture& value) {
    const int width = !value.empty() && autoSize_ ? value.width() : width_;
    if (value.bitmap() == picture_.bitmap() && width == width_)
        return;
    picture_ = value;
    stretched_ = QImage();
    width_ = width;
    collection_->changed();
}

const QImage& TsuiTitleBarSection::stretchedTo(const QSize& size) const {
    if (stretched_.size() != size && !picture_.empty())
        stretched_ = picture_.bitmap().scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return stretched_;
}

void TsuiTitleBarSection::setStretch(bool value) {
    const bool stretch = value || align_ == TsuiTitleBarAlign::suiClient;
    if (stretch == stretch_)
        return;
    stretch_ = stretch;
    collection_->changed();
}

// --- buttons -------------------------------------------------------------------------------------
void TsuiTitleBarButton::assign(const TsuiTitleBarButton& other) {
    type_ = other.type_;
    transparent_ = other.transparent_;
    top_ = other.top_;
    style_ = other.style_;
    controlBoxMenu_ = other.controlBoxMenu_;
    for (int state = Normal; state <= MouseDown; ++state)
        pictures_[state] = other.pictures_[state];
    picturesChanged();
}

void TsuiTitleBarButton::setButtonType(TsuiTitleBarBtnType value) {
    if (value == TsuiTitleBarBtnType::suiControlBox) {
        for (const auto& button : *collection_) {
            if (button->type_ == TsuiTitleBarBtnType::suiControlBox) {
                ShowSkinInformation(QStringLiteral(
                    "Sorry, only one button's ButtonType property can be \"suiControlBox\""));
                return;
            }
        }
    }
    if (value == type_)
        return;
    type_ = value;
    UpdateStylePictures();
    collection_->changed();
}

void TsuiTitleBarButton::setTransparent(bool value) {
    if (value == transparent_)
        return;
    transparent_ = value;
    picturesChanged();
}

void TsuiTitleBarButton::setTop(int value) {
    if (value == top_)
        return;
    top_ = value;
    collection_->changed();
}

void TsuiTitleBarButton::setUIStyle(TsuiUIStyle value) {
    style_ = value;
    UpdateStylePictures();
}

void TsuiTitleBarButton::setControlBoxMenu(QMenu* value) {
    if (value == controlBoxMenu_)
        return;
    controlBoxMenu_ = value;
    collection_->changed();
}

void TsuiTitleBarButton::setPicture(State state, const TPicture& value) {
    if (type_ != TsuiTitleBarBtnType::suiCustom && type_ != TsuiTitleBarBtnType::suiControlBox) {
        ShowSkinInformation(QStringLiteral("Sorry, this button is not a \"suiCustom\" or "
                                           "\"suiControlBox\"(ButtonType property) button!"));
        return;
    }
    if (value.bitmap() == pictures_[state].bitmap())
        return;
    pictures_[state] = value;
    picturesChanged();
}

void TsuiTitleBarButton::UpdateStylePictures() {
    if (style_ == TsuiUIStyle::Custom)
        return;
    transparent_ = GetThemeBoolean(style_, tiTitleBtnTransparent);
    switch (type_) {
    case TsuiTitleBarBtnType::suiMax:
        break; // UpdateMaxRestorePictures loads them, for the window's state
    case TsuiTitleBarBtnType::suiMin:
        loadPictures(tiTitleBtnMinNormal);
        break;
    case TsuiTitleBarBtnType::suiClose:
        loadPictures(tiTitleBtnCloseNormal);
        break;
    case TsuiTitleBarBtnType::suiHelp:
        loadPictures(tiTitleBtnHelpNormal);
        break;
    case TsuiTitleBarBtnType::suiControlBox:
        loadPictures(tiTitleBtnCtlBoxNormal);
        break;
    case TsuiTitleBarBtnType::suiCustom:
        picturesChanged();
        return;
    }
    top_ = GetThemeInteger(style_, tiTitleBtnTop);
    UpdateMaxRestorePictures();
}

void TsuiTitleBarButton::UpdateMaxRestorePictures() {
    if (type_ != TsuiTitleBarBtnType::suiMax || style_ == TsuiUIStyle::Custom)
        return;
    const QWidget* bar = collection_->owner();
    const bool maximised = bar && bar->window()->isMaximized();
    loadPictures(maximised ? tiTitleBtnRestoreNormal : tiTitleBtnMaxNormal);
}

void TsuiTitleBarButton::loadPictures(int firstThemeIndex) {
    for (int state = Normal; state <= MouseDown; ++state)
        pictures_[state].setBitmap(
            ThemeStatePicture(style_, firstThemeIndex, static_cast<TPictureState>(state)));
    picturesChanged();
}

void TsuiTitleBarButton::picturesChanged() {
    for (int state = Normal; state <= MouseDown; ++state) {
        const QImage& picture = pictures_[state].bitmap();
        drawn_[state] = transparent_ && !picture.isNull()
                            ? MaskedImage(picture, picture.pixel(0, picture.height() - 1))
                            : picture;
    }
    collection_->changed();
}

} // namespace pestrel
