// The checks page: check boxes, a group of radio buttons, a group box holding a check group in
// two columns, and two combo boxes, one of them editable. Placed at fixed positions, as a form
// places its controls.

#include "gallery/GalleryLog.h"
#include "gallery/GalleryPages.h"
#include "skin/buttons/SUICheckBox.h"
#include "skin/buttons/SUIRadioButton.h"
#include "skin/containers/SUIGroupBox.h"
#include "skin/containers/SUIPageControl.h"
#include "skin/containers/SUIRadioGroup.h"
#include "skin/framed/SUIComboBox.h"

namespace pestrel::gallery {
namespace {

template <class Box>
Box* CheckControl(QWidget* parent, const char* name, const QString& caption, QPoint at) {
    auto* box = new Box(parent);
    box->setObjectName(name);
    box->setAutoSize(true);
    box->setCaption(caption);
    box->move(at);
    QObject::connect(box, &Box::clicked, box,
                     [box](bool checked) { LogEvent(box, "OnClick", checked ? 1 : 0); });
    return box;
}

TsuiComboBox* ComboBox(QWidget* parent, const char* name, QPoint at) {
    auto* combo = new TsuiComboBox(parent);
    combo->setObjectName(name);
    combo->setGeometry(at.x(), at.y(), 160, 22);
    return combo;
}

// The captions of the group's checked boxes, comma-separated.
QString CheckedItems(const TsuiCheckGroup* group) {
    QStringList checked;
    for (int i = 0; i < group->boxCount(); ++i) {
        if (group->boxAt(i)->isChecked())
            checked << group->boxAt(i)->Caption();
    }
    return checked.join(',');
}

} // namespace

void CreateChecksPage(TsuiTabSheet* page) {
    CheckControl<TsuiCheckBox>(page, "checkBox1", "Check box", {16, 16})->setChecked(true);
    CheckControl<TsuiCheckBox>(page, "checkBox2", "Disabled check box", {16, 40})
        ->setEnabled(false);
    const char* radios[] = {"radioButton1", "radioButton2", "radioButton3"};
    for (int i = 0; i < 3; ++i) {
        auto* radio = CheckControl<TsuiRadioButton>(
            page, radios[i], QStringLiteral("Radio %1").arg(i + 1), {16, 72 + 24 * i});
        radio->setChecked(i == 0);
    }

    auto* box = new TsuiGroupBox(page);
    box->setObjectName("groupBox1");
    box->setCaption("Group box");
    box->setGeometry(200, 16, 300, 150);
    QObject::connect(box, &TsuiGroupBox::clicked, box, [box] { LogEvent(box, "OnClick", 1); });
    auto* group = new TsuiCheckGroup(box);
    group->setObjectName("checkGroup1");
    group->setCaption("Check group");
    group->setGeometry(10, 24, 280, 116);
    group->setColumns(2);
    group->setItems({"Apples", "Pears", "Plums", "Cherries", "Grapes", "Figs"});
    for (int i = 0; i < group->boxCount(); ++i)
        group->boxAt(i)->setObjectName(QStringLiteral("checkGroup1Item%1").arg(i));
    QObject::connect(group, &TsuiCheckGroup::clicked, group,
                     [group] { LogEvent(group, "OnClick", CheckedItems(group)); });

    auto* combo1 = ComboBox(page, "comboBox1", {16, 180});
    combo1->addItems({"First", "Second", "Third", "Fourth", "Fifth", "Sixth"});
    QObject::connect(combo1, &QComboBox::currentIndexChanged, combo1,
                     [combo1](int index) { LogEvent(combo1, "OnChange", index); });
    auto* combo2 = ComboBox(page, "comboBox2", {200, 180});
    combo2->setEditable(true);
    combo2->addItems({"Editable", "Type here"});
    QObject::connect(combo2, &QComboBox::editTextChanged, combo2,
                     [combo2](const QString& text) { LogEvent(combo2, "OnChange", text); });
}

} // namespace pestrel::gallery
