#include "tests/ui/UiTest.h"

#include "skin/containers/SUIPageControl.h"

#include <QTest>

namespace pestrel::test {

TMainForm& UiTest::createForm() {
    form = std::make_unique<TMainForm>(*platform, Seams{&boxes, &openDialog, &desktop}, waits);
    return *form;
}

TMainForm& UiTest::showForm() {
    createForm();
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    return *form;
}

void UiTest::showPageOf(QWidget* widget) {
    auto* pages = control<TsuiPageControl>("suiPageControl1");
    TsuiTabSheet* sheet = nullptr;
    for (int i = 0; i < pages->PageCount(); ++i) {
        if (pages->pageAt(i)->isAncestorOf(widget))
            sheet = pages->pageAt(i);
    }
    ASSERT_NE(sheet, nullptr) << qPrintable(widget->objectName());
    TsuiTabControlTopPanel* strip = pages->TopPanel();
    strip->grab(); // the strip measures its tabs when it paints
    int left = pages->LeftMargin();
    for (int i = 0; i < sheet->PageIndex(); ++i)
        left += strip->TabWidth(i);
    QTest::mouseClick(strip, Qt::LeftButton, {},
                      {left + strip->TabWidth(sheet->PageIndex()) / 2, strip->TabHeight() / 2});
    ASSERT_EQ(pages->ActivePage(), sheet);
}

void UiTest::press(const char* name) {
    QWidget* button = control(name);
    showPageOf(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList UiTest::rows(const char* listName) {
    QStringList texts;
    const QAbstractItemModel* model = control<QAbstractItemView>(listName)->model();
    for (int i = 0; i < model->rowCount(); ++i)
        texts << model->index(i, 0).data().toString();
    return texts;
}

} // namespace pestrel::test
