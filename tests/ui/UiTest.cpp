#include "tests/ui/UiTest.h"

#include <QTabWidget>
#include <QTest>
#include <fstream>
#include <sstream>

namespace pestrel::test {

std::optional<std::string> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

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

void UiTest::press(const char* name) {
    QWidget* button = control(name);
    auto* pages = control<QTabWidget>("suiPageControl1");
    for (int i = 0; i < pages->count(); ++i) {
        if (pages->widget(i)->isAncestorOf(button))
            pages->setCurrentIndex(i);
    }
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList UiTest::rows(const char* listName) {
    QStringList texts;
    auto* list = control<QListWidget>(listName);
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

} // namespace pestrel::test
