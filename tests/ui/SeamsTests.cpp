// The standard message boxes and open dialog as the person meets them: titles, texts, buttons,
// the default and the Escape answer, the filters. Each is answered by keys sent to it once shown.

#include "ui/Seams.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace pestrel::test {
namespace {

// Runs `answer` on the modal window once it is shown.
template <typename Window> void WhenShown(std::function<void(Window*)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        answer(window);
    });
}

QStringList ButtonTexts(const QMessageBox* box) {
    QStringList texts;
    for (const QAbstractButton* button : box->buttons())
        texts << button->text();
    texts.sort();
    return texts;
}

TEST(StandardSeamsTest, ConfirmAsksWithYesAsDefaultAndNoOnEscape) {
    MessageBoxes& boxes = *Seams::Standard().boxes;
    for (const auto& [key, expected] : {std::pair{Qt::Key_Return, true}, {Qt::Key_Escape, false}}) {
        WhenShown<QMessageBox>([key = key](QMessageBox* box) {
            EXPECT_EQ(box->windowTitle(), "Confirm");
            EXPECT_EQ(box->text(), "确实要清空病毒列表吗?");
            EXPECT_EQ(ButtonTexts(box), QStringList({"&No", "&Yes"}));
            EXPECT_EQ(box->defaultButton()->text(), "&Yes");
            EXPECT_EQ(box->escapeButton()->text(), "&No");
            QTest::keyClick(box, key);
        });
        EXPECT_EQ(boxes.confirm(nullptr, "确实要清空病毒列表吗?"), expected) << key;
    }
}

TEST(StandardSeamsTest, InformShowsTheTitleAndTextWithOneOkButtonAndNoIcon) {
    WhenShown<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), "Pestrel 1.0");
        EXPECT_EQ(box->text(), "错误：文件/x/Readme.txt不存在！");
        EXPECT_EQ(ButtonTexts(box), QStringList({"OK"}));
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        QTest::keyClick(box, Qt::Key_Return);
    });
    Seams::Standard().boxes->inform(nullptr, "Pestrel 1.0", "错误：文件/x/Readme.txt不存在！");
}

// The filters read as written, Windows' way, and each filters the file list by its own patterns.
TEST(StandardSeamsTest, OpenDialogOffersBothFiltersAsWrittenForOneExistingFile) {
    const QStringList filters = {"病毒文件(*.exe;*.dll)", "所有文件(*.*)"};
    QTemporaryDir folder;
    for (const char* name : {"a.exe", "B.DLL", "c.txt", "plain"})
        QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->nameFilters(), filters);
        EXPECT_EQ(dialog->selectedNameFilter(), filters[0]);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        auto* files = dialog->findChild<QFileSystemModel*>();
        auto* choice = dialog->findChild<QComboBox*>("fileTypeCombo");
        ASSERT_TRUE(files && choice);
        dialog->setDirectory(folder.path());
        const auto shown = [&] {
            QStringList names;
            const QModelIndex root = files->index(folder.path());
            for (int row = 0; row < files->rowCount(root); ++row)
                names << files->index(row, 0, root).data().toString();
            names.sort();
            return names;
        };
        const auto showsSoon = [&](const QStringList& names) {
            return QTest::qWaitFor([&] { return shown() == names; });
        };
        EXPECT_TRUE(showsSoon({"B.DLL", "a.exe"})) << shown().join(' ').toStdString();
        QTest::keyClick(choice, Qt::Key_Down);
        EXPECT_TRUE(showsSoon({"B.DLL", "a.exe", "c.txt", "plain"}))
            << shown().join(' ').toStdString();
        dialog->reject();
    });
    EXPECT_TRUE(Seams::Standard().openDialog->pickFile(nullptr, filters).isEmpty());
}

} // namespace
} // namespace pestrel::test
