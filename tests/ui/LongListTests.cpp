// The virus list page with a list of 100,000 names: the list box measures and paints only what
// it shows, and adding an entry keeps and saves every line.

#include "tests/ui/UiTest.h"

#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTest>

namespace pestrel::test {
namespace {

constexpr int kNames = 100000;

// Counts what the list box asks of its rows' delegate, answering as that delegate does.
class CountingDelegate final : public QStyledItemDelegate {
public:
    CountingDelegate(QAbstractItemDelegate& inner, QObject* parent)
        : QStyledItemDelegate(parent), inner_(inner) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        ++painted;
        inner_.paint(painter, option, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        ++measured;
        return inner_.sizeHint(option, index);
    }

    mutable int painted = 0, measured = 0;

private:
    QAbstractItemDelegate& inner_;
};

class LongListTest : public UiTest {
protected:
    void SetUp() override {
        for (int i = 0; i < kNames; ++i)
            listText += "evil-" + std::to_string(i) + ".exe\r\n";
        WriteFile(appFile("VirusList.txt"), listText);
        showForm();
    }
    std::string listText;
};

TEST_F(LongListTest, TheListBoxMeasuresAndPaintsOnlyTheRowsInView) {
    auto* list = control<QListView>("ListBox");
    ASSERT_EQ(list->model()->rowCount(), kNames);
    auto* counting = new CountingDelegate(*list->itemDelegate(), list);
    list->setItemDelegate(counting); // lays the rows out again
    list->scrollToBottom();
    list->viewport()->repaint();

    const int rowsInView = list->viewport()->height() / list->sizeHintForRow(0) + 2;
    EXPECT_GT(counting->painted, 0);
    EXPECT_LE(counting->painted, rowsInView);
    EXPECT_LT(counting->measured, 100) << "rows are not measured one by one";
    EXPECT_EQ(rows("ListBox").last(), QString("evil-%1.exe").arg(kNames - 1));
}

TEST_F(LongListTest, AddingAnEntrySavesEveryLineInOrder) {
    auto* edit = control<QLineEdit>("EADDVirusName");
    edit->setText("late.exe");
    QTest::keyClick(edit, Qt::Key_Return);

    EXPECT_EQ(form->virusEntryCount(), kNames + 1);
    EXPECT_EQ(ReadFile(appFile("VirusList.txt")), listText + "late.exe\r\n");
}

} // namespace
} // namespace pestrel::test
