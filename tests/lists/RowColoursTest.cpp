#include "lists/ListSort.h"
#include "lists/ReportList.h"
#include "lists/ReportListModel.h"
#include "lists/RowColours.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QColor red(255, 0, 0);
const QColor teal(0, 128, 128);

// A stock-like list: hidden id column, a name and a quantity.
void fillStock(ReportList &list)
{
    list.addColumn(QString(), 0);
    list.addColumn(QStringLiteral("商品名称"), 120);
    list.addColumn(QStringLiteral("数量"), 60);
    list.addRow({QStringLiteral("11"), QStringLiteral("衬衫"), QStringLiteral("0")});
    list.addRow({QStringLiteral("12"), QStringLiteral("长裤"), QStringLiteral("5")});
    list.addRow({QStringLiteral("13"), QStringLiteral("外套"), QStringLiteral("2")});
}

QColor textColour(const ReportList &list, int row, int column)
{
    return list.listModel()->data(list.listModel()->index(row, column), Qt::ForegroundRole).value<QBrush>().color();
}

} // namespace

TEST(RowColours, ColorrefIsBlueGreenRed)
{
    EXPECT_EQ(colourFromColorref(255), red);
    EXPECT_EQ(colourFromColorref(0x808000), QColor(QStringLiteral("#008080")));
    EXPECT_EQ(colourFromColorref(0xFF8800), QColor(QStringLiteral("#0088FF")));
}

TEST(RowColours, LaterRegistrationOfARowWinsOnEveryColumn)
{
    ReportList list;
    fillStock(list);
    EXPECT_TRUE(setListRowColour(&list, 1, 3, 255));
    EXPECT_TRUE(setListRowColour(&list, 1, 3, 0x808000));
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(textColour(list, 1, c), teal);
    EXPECT_FALSE(list.listModel()->rowColour(0).isValid());
    // No such row: nothing is registered.
    EXPECT_FALSE(setListRowColour(&list, 3, 3, 255));
    EXPECT_FALSE(setListRowColour(nullptr, 0, 3, 255));
}

TEST(RowColours, TwoListsKeepSeparateColoursAndClearingReportsWhetherThereWereAny)
{
    ReportList a, b;
    fillStock(a);
    fillStock(b);
    setListRowColour(&a, 0, 3, 255);
    setListRowColour(&b, 2, 3, 0x808000);

    EXPECT_EQ(clearListRowColours(&a), 1);
    EXPECT_FALSE(a.listModel()->rowColour(0).isValid());
    EXPECT_EQ(b.listModel()->rowColour(2), teal);
    EXPECT_EQ(clearListRowColours(&a), 0);
    EXPECT_EQ(clearListRowColours(nullptr), 0);
}

TEST(RowColours, ColoursAndHiddenIdsFollowTheirRowsThroughASort)
{
    ReportList list;
    fillStock(list);
    setListRowColour(&list, 0, 3, 255);      // sold out
    setListRowColour(&list, 1, 3, 0x808000); // in stock
    list.selectRow(1);

    ASSERT_EQ(sortListViewByColumn(&list, 2, true, false, 3), QStringLiteral("排序完成"));

    // Quantities 0, 2, 5 now; each row keeps its id, its colour and its selection.
    EXPECT_EQ(list.rowTexts(0), (QStringList{"11", QStringLiteral("衬衫"), "0"}));
    EXPECT_EQ(list.rowTexts(1), (QStringList{"13", QStringLiteral("外套"), "2"}));
    EXPECT_EQ(list.rowTexts(2), (QStringList{"12", QStringLiteral("长裤"), "5"}));
    EXPECT_EQ(list.listModel()->rowColour(0), red);
    EXPECT_FALSE(list.listModel()->rowColour(1).isValid());
    EXPECT_EQ(list.listModel()->rowColour(2), teal);
    EXPECT_EQ(list.selectedRow(), 2);
}

TEST(RowColours, RowsLeavingTheListTakeTheirColoursWithThem)
{
    ReportList list;
    fillStock(list);
    setListRowColour(&list, 2, 3, 255);
    list.removeRow(0);
    EXPECT_EQ(list.listModel()->rowColour(1), red);
    list.clear();
    list.addRow({QStringLiteral("21"), QStringLiteral("新品"), QStringLiteral("3")});
    EXPECT_FALSE(list.listModel()->rowColour(0).isValid());
    EXPECT_EQ(clearListRowColours(&list), 0);
}

// Drawn for real: a selected row is white on #0088FF even when it has a colour of its own, with no
// focus frame in another colour; an unselected registered row shows its colour.
TEST(RowColours, SelectedRowIsDrawnWhiteOnBlueAndOthersInTheirColour)
{
    ReportList list;
    list.resize(360, 160);
    QFont font = list.font();
    font.setPixelSize(16);
    font.setBold(true);
    list.setFont(font);
    list.addColumn(QStringLiteral("A"), 160);
    list.addColumn(QStringLiteral("B"), 160);
    for (int r = 0; r < 3; ++r)
        list.addRow({QStringLiteral("MMMMMMMM"), QStringLiteral("WWWWWWWW")});
    setListRowColour(&list, 0, 3, 255);
    setListRowColour(&list, 1, 3, 255);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    list.setFocus();
    list.selectRow(0);
    QApplication::processEvents();

    const QImage image = list.viewport()->grab().toImage();
    auto rowArea = [&](int row) {
        const QModelIndex first = list.listModel()->index(row, 0), last = list.listModel()->index(row, 1);
        return list.visualRect(first).united(list.visualRect(last)).intersected(image.rect());
    };
    auto isRedText = [](QColor c) { return c.red() > 150 && c.green() < 90 && c.blue() < 90; };

    int bluePixels = 0, whitePixels = 0, offPixels = 0;
    const QRect selected = rowArea(0);
    for (int y = selected.top(); y <= selected.bottom(); ++y)
        for (int x = selected.left(); x <= selected.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == QColor(0x00, 0x88, 0xFF))
                ++bluePixels;
            else if (c.red() > 240 && c.green() > 240 && c.blue() > 240)
                ++whitePixels;
            if (c.blue() < 245 || isRedText(c)) // anything but white text blended on the blue
                ++offPixels;
        }
    EXPECT_GT(bluePixels, selected.width() * selected.height() / 2);
    EXPECT_GT(whitePixels, 0);
    EXPECT_EQ(offPixels, 0);

    int redPixels = 0;
    const QRect registered = rowArea(1);
    for (int y = registered.top(); y <= registered.bottom(); ++y)
        for (int x = registered.left(); x <= registered.right(); ++x)
            redPixels += isRedText(image.pixelColor(x, y)) ? 1 : 0;
    EXPECT_GT(redPixels, 0);
}
