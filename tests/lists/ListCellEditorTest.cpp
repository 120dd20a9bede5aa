#include "lists/ListCellEditor.h"
#include "lists/ReportList.h"
#include "lists/ReportListModel.h"

#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The member-category grid on its settings page: a hidden id column and three editable columns,
// the editor box beside it, and another box to click into.
class CellEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        page.resize(480, 320);
        list = new ReportList(&page);
        list->setObjectName(QStringLiteral("超级列表框11"));
        list->setGeometry(20, 30, 300, 150);
        list->addColumn(QString(), 0);
        list->addColumn(QStringLiteral("会员类别"), 100);
        list->addColumn(QStringLiteral("折扣"), 40);
        list->addColumn(QStringLiteral("升级积分"), 80);
        for (int i = 0; i < 20; ++i)
            list->addRow({QString::number(i + 1), QStringLiteral("类别%1").arg(i), QStringLiteral("9.%1").arg(i),
                          QString::number(i * 100)});
        edit = new QLineEdit(&page);
        edit->setObjectName(QStringLiteral("编辑框8"));
        other = new QLineEdit(&page);
        other->setGeometry(340, 30, 120, 24);
        editor = attachListCellEditor(list, edit);
        spy = std::make_unique<QSignalSpy>(editor, &ListCellEditor::cellCommitted);
        page.show();
        QApplication::setActiveWindow(&page);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    }

    QPoint cellCentre(int row, int column) const
    {
        return list->visualRect(list->listModel()->index(row, column)).center();
    }

    void doubleClickCell(int row, int column)
    {
        // What a real double click delivers: press, release, double click, release.
        const QPoint at = cellCentre(row, column);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QApplication::processEvents();
    }

    QWidget page;
    ReportList *list = nullptr;
    QLineEdit *edit = nullptr;
    QLineEdit *other = nullptr;
    ListCellEditor *editor = nullptr;
    std::unique_ptr<QSignalSpy> spy;
};

} // namespace

TEST_F(CellEditorTest, DoubleClickOpensTheBoxExactlyOverTheCellWithItsText)
{
    doubleClickCell(1, 2);
    ASSERT_TRUE(edit->isVisible());
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->text(), QStringLiteral("9.1"));
    EXPECT_EQ(edit->cursorPosition(), 3);
    const QRect cell = list->visualRect(list->listModel()->index(1, 2));
    const QPoint topLeft = list->viewport()->mapTo(&page, cell.topLeft());
    EXPECT_EQ(edit->geometry(), QRect(topLeft.x(), topLeft.y() + 1, 40, cell.height()));
    EXPECT_EQ(editor->editedCell().row, 1);
    EXPECT_EQ(editor->editedCell().column, 2);
    EXPECT_EQ(spy->count(), 0);

    // The first visible column starts at the row's left edge, as wide as the column.
    const QRect first = editor->editorGeometry(0, 1);
    EXPECT_EQ(first.left(), list->viewport()->mapTo(&page, QPoint(0, 0)).x());
    EXPECT_EQ(first.width(), 100);
}

TEST_F(CellEditorTest, EnterCommitsOnceAndOtherKeysWriteNothing)
{
    doubleClickCell(2, 1);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("VIP"));
    edit->insert(QStringLiteral("金卡"));
    EXPECT_EQ(list->cellText(2, 1), QStringLiteral("类别2")); // typing alone writes nothing
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(list->cellText(2, 1), QStringLiteral("VIP金卡"));
    ASSERT_EQ(spy->count(), 1);
    EXPECT_EQ(spy->at(0), (QVariantList{2, 1, QStringLiteral("VIP金卡")}));

    // The focus that left with the hidden box commits nothing more.
    QTest::mouseClick(other, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(spy->count(), 1);
}

TEST_F(CellEditorTest, ClickingElsewhereCommitsOnce)
{
    doubleClickCell(0, 3);
    edit->setText(QStringLiteral("500"));
    QTest::mouseClick(other, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(other->hasFocus());
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(list->cellText(0, 3), QStringLiteral("500"));
    EXPECT_EQ(spy->count(), 1);
}

TEST_F(CellEditorTest, ClickingAnotherCellCommitsToTheCellThatWasOpened)
{
    doubleClickCell(1, 1);
    edit->setText(QStringLiteral("银卡"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(3, 2));
    QApplication::processEvents();
    EXPECT_EQ(list->cellText(1, 1), QStringLiteral("银卡"));
    EXPECT_EQ(list->cellText(3, 2), QStringLiteral("9.3"));
    ASSERT_EQ(spy->count(), 1);
    EXPECT_EQ(spy->at(0).at(0).toInt(), 1);
    // The click framed the new cell.
    EXPECT_EQ(list->framedCell(), list->listModel()->index(3, 2));
}

TEST_F(CellEditorTest, ScrollingCommitsThenHidesSoNoTypingIsLost)
{
    doubleClickCell(0, 1);
    edit->setText(QStringLiteral("普通会员"));
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->value() + 3);
    QApplication::processEvents();
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(list->cellText(0, 1), QStringLiteral("普通会员"));
    EXPECT_EQ(spy->count(), 1);

    // Horizontal scrolling does the same and drops the frame.
    list->setColumnWidth(3, 400);
    QApplication::processEvents();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(5, 2));
    ASSERT_TRUE(list->framedCell().isValid());
    doubleClickCell(5, 2);
    edit->setText(QStringLiteral("8.8"));
    list->horizontalScrollBar()->setValue(30);
    QApplication::processEvents();
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(list->cellText(5, 2), QStringLiteral("8.8"));
    EXPECT_EQ(spy->count(), 2);
    EXPECT_FALSE(list->framedCell().isValid());
}

TEST_F(CellEditorTest, ClickFramesOneCellInBlueAndAClickBelowTheRowsFramesNothing)
{
    list->clear();
    for (int i = 0; i < 3; ++i)
        list->addRow({QString::number(i + 1), QStringLiteral("类别"), QStringLiteral("1"), QStringLiteral("0")});
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(1, 2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(0, 1));
    QApplication::processEvents();
    EXPECT_EQ(list->framedCell(), list->listModel()->index(0, 1));

    const QImage image = list->viewport()->grab().toImage();
    const QRect frame = editor->computeCellRect(0, 1);
    EXPECT_EQ(image.pixelColor(frame.topLeft()), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(frame.left() + 10, frame.top()), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(frame.left(), frame.top() + 5), QColor(0, 0, 255));
    const QRect other = editor->computeCellRect(1, 2);
    EXPECT_NE(image.pixelColor(other.left() + 10, other.top()), QColor(0, 0, 255));

    const QRect lastRow = list->visualRect(list->listModel()->index(2, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, lastRow.bottom() + 20));
    EXPECT_FALSE(list->framedCell().isValid());
    EXPECT_EQ(editor->hitTestListCell(QPoint(50, lastRow.bottom() + 20)).row, -1);

    // A double click there opens nothing.
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, lastRow.bottom() + 20));
    EXPECT_FALSE(edit->isVisible());
}

TEST_F(CellEditorTest, BoxStaysInsideTheListForCellsCutAtEitherEdge)
{
    list->setColumnWidth(1, 150);
    list->setColumnWidth(3, 250);
    QApplication::processEvents();
    const QRect listRect = list->geometry();
    const int origin = list->viewport()->mapTo(&page, QPoint(0, 0)).x();

    // Column 3 starts inside the list and reaches past its right edge: the box ends 10 px inside.
    QRect box = editor->editorGeometry(0, 3);
    EXPECT_EQ(box.left(), origin + 150 + 40);
    EXPECT_EQ(box.left() + box.width(), listRect.left() + listRect.width() - 10);

    // Scrolled right by 100 px column 1 starts left of the list: the box starts 2 px inside, and
    // keeps the width the column has left inside the list.
    list->horizontalScrollBar()->setValue(100);
    QApplication::processEvents();
    const int cellLeft = origin - 100; // column 1's left edge in page coordinates
    box = editor->editorGeometry(0, 1);
    EXPECT_LT(cellLeft, listRect.left());
    EXPECT_EQ(box.left(), listRect.left() + 2);
    EXPECT_EQ(box.width(), 150 + cellLeft - listRect.left());
}
