#pragma once
// The check group: a group box holding one skinned check box per line of Items, laid out in
// columns, top to bottom and then left to right. A click on any box is the group's click.

#include "skin/containers/SUIGroupBox.h"

#include <QStringList>
#include <vector>

namespace pestrel {

class TsuiCheckBox;

class TsuiCheckGroup : public TsuiCustomGroupBox {
    Q_OBJECT
    Q_PROPERTY(pestrel::uistyle::TsuiUIStyle UIStyle READ UIStyle WRITE setUIStyle)
    Q_PROPERTY(QStringList Items READ Items WRITE setItems)
    Q_PROPERTY(int Columns READ Columns WRITE setColumns)
    Q_PROPERTY(int TopMargin READ TopMargin WRITE setTopMargin)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)

public:
    explicit TsuiCheckGroup(QWidget* parent = nullptr);

    TsuiUIStyle UIStyle() const { return uiStyle_; }
    // Restyles the group and every box; Custom keeps the group's colours.
    void setUIStyle(TsuiUIStyle style);
    const QStringList& Items() const { return items_; }
    // Boxes are made or freed at the end so that there is one per line, then captioned and laid
    // out.
    void setItems(const QStringList& items);
    int Columns() const { return columns_; }
    // A negative count is ignored; 0 lays the boxes out as one column.
    void setColumns(int columns);
    int TopMargin() const { return topMargin_; }
    // A negative margin is ignored.
    void setTopMargin(int margin);
    // The group's and every box's.
    void setTransparent(bool transparent);

    // The box of line `index`, or nullptr.
    TsuiCheckBox* boxAt(int index) const;
    int boxCount() const { return static_cast<int>(boxes_.size()); }

protected:
    // Makes one box owned by the group, in `formStyle`: the style of the window's skinned form,
    // looked up once for all the boxes made together.
    virtual TsuiCheckBox* CreateItemButton(TsuiUIStyle formStyle);
    void resizeEvent(QResizeEvent* event) override;

private:
    void ApplyGroupStyle(TsuiUIStyle style);
    void syncBoxes();
    void arrange();

    TsuiUIStyle uiStyle_ = TsuiUIStyle::Custom;
    QStringList items_;
    int columns_ = 1;
    int topMargin_ = 8;
    std::vector<TsuiCheckBox*> boxes_;
};

} // namespace pestrel
