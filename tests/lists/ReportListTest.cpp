#include "lists/ReportList.h"
#include "lists/ReportListModel.h"

#include <QBrush>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(ReportList, ColumnsRowsAndCellsAsThePagesUseThem)
{
    ReportList list;
    list.setObjectName(QStringLiteral("超级列表框1"));
    EXPECT_EQ(list.addColumn(QString(), 0), 0);
    EXPECT_EQ(list.addColumn(QStringLiteral("款号"), 80), 1);
    EXPECT_EQ(list.addColumn(QStringLiteral("数量"), 40), 2);
    EXPECT_TRUE(list.isColumnHidden(0));
    EXPECT_EQ(list.columnWidth(0), 0);
    EXPECT_EQ(list.columnWidth(1), 80);
    EXPECT_EQ(list.columnTitle(2), QStringLiteral("数量"));

    EXPECT_EQ(list.addRow({"7", "K001", "3"}), 0);
    EXPECT_EQ(list.addRow({"8", "K002"}), 1);          // a missing cell is empty
    EXPECT_EQ(list.insertRow(0, {"6", "K000", "1", "surplus"}), 0);
    EXPECT_EQ(list.rowCount(), 3);
    EXPECT_EQ(list.cellText(1, 1), "K001");
    EXPECT_EQ(list.cellText(2, 2), "");
    EXPECT_EQ(list.cellText(0, 3), "");                 // no such column
    EXPECT_EQ(list.cellText(9, 0), "");                 // no such row
    EXPECT_TRUE(list.setCellText(2, 2, "4"));
    EXPECT_FALSE(list.setCellText(3, 0, "x"));
    EXPECT_FALSE(list.setCellText(0, 3, "x"));
    EXPECT_EQ(list.rowTexts(2), (QStringList{"8", "K002", "4"}));

    EXPECT_TRUE(list.removeRow(0));
    EXPECT_FALSE(list.removeRow(5));
    EXPECT_EQ(list.cellText(0, 0), "7");
    list.clear();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.columnCount(), 3);
    EXPECT_EQ(list.objectName(), QStringLiteral("超级列表框1"));
}

TEST(ReportList, AddsManyRowsInOneInsertionWithTheirColours)
{
    ReportList list;
    list.addColumn(QStringLiteral("款号"), 80);
    list.addColumn(QStringLiteral("数量"), 40);
    list.addRow({"K000", "9"});
    QSignalSpy inserted(list.listModel(), &QAbstractItemModel::rowsInserted);

    EXPECT_EQ(list.addRows({{"K001", "3", "surplus"}, {"K002"}, {"K003", "0"}},
                           {QColor(Qt::red), QColor(), QColor(Qt::blue)}),
              1);
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 1);
    EXPECT_EQ(inserted.at(0).at(2).toInt(), 3);
    EXPECT_EQ(list.rowCount(), 4);
    EXPECT_EQ(list.rowTexts(1), (QStringList{"K001", "3"})); // surplus cells are dropped
    EXPECT_EQ(list.rowTexts(2), (QStringList{"K002", ""})); // a missing cell is empty
    EXPECT_EQ(list.listModel()->data(list.listModel()->index(1, 1), Qt::ForegroundRole).value<QBrush>().color(),
              QColor(Qt::red));
    EXPECT_FALSE(list.listModel()->rowColour(2).isValid()); // an invalid colour is none
    EXPECT_EQ(list.listModel()->rowColour(3), QColor(Qt::blue));
    EXPECT_FALSE(list.listModel()->rowColour(0).isValid());

    EXPECT_EQ(list.addRows({{"K004", "1"}}), 4); // without colours
    EXPECT_FALSE(list.listModel()->rowColour(4).isValid());
    EXPECT_EQ(list.addRows({}), 5);
    EXPECT_EQ(inserted.size(), 2);
}

TEST(ReportList, SingleAndMultipleSelection)
{
    ReportList list;
    list.addColumn(QStringLiteral("A"), 50);
    for (int i = 0; i < 5; ++i)
        list.addRow({QString::number(i)});
    EXPECT_EQ(list.selectedRow(), -1);
    list.selectRow(1);
    list.selectRow(3);
    EXPECT_EQ(list.selectedRows(), QList<int>{3});
    EXPECT_EQ(list.selectedRow(), 3);

    list.setMultiSelection(true);
    list.selectRow(0);
    EXPECT_EQ(list.selectedRows(), (QList<int>{0, 3}));
    EXPECT_EQ(list.selectedRow(), 0); // the current one
    EXPECT_TRUE(list.isRowSelected(3));
    list.removeRow(0);
    EXPECT_EQ(list.selectedRows(), QList<int>{2});
    list.selectRow(42); // ignored
    EXPECT_EQ(list.selectedRows(), QList<int>{2});
}

TEST(ReportList, ScrollsARowIntoViewAndReportsTheRowUnderAContextMenu)
{
    ReportList list;
    list.resize(200, 120);
    list.addColumn(QStringLiteral("A"), 80);
    for (int i = 0; i < 200; ++i)
        list.addRow({QString::number(i)});
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));

    list.ensureRowVisible(90);
    list.ensureRowVisible(150); // the last call wins
    QApplication::processEvents();
    const QRect r = list.visualRect(list.listModel()->index(150, 0));
    EXPECT_TRUE(list.viewport()->rect().contains(r));

    // Asked while hidden, the scroll happens when the list is shown.
    list.hide();
    list.ensureRowVisible(3);
    list.show();
    QApplication::processEvents();
    EXPECT_TRUE(list.viewport()->rect().contains(list.visualRect(list.listModel()->index(3, 0))));

    int menuRow = -2;
    QPoint menuPos;
    QObject::connect(&list, &ReportList::rowContextMenuRequested, [&](int row, const QPoint &pos) {
        menuRow = row;
        menuPos = pos;
    });
    const QPoint inside = list.visualRect(list.listModel()->index(3, 0)).center();
    Q_EMIT list.customContextMenuRequested(inside);
    EXPECT_EQ(menuRow, 3);
    EXPECT_EQ(menuPos, list.viewport()->mapToGlobal(inside));
}
