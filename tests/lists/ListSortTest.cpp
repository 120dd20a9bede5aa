#include "lists/ListSort.h"
#include "lists/ReportList.h"
#include "lists/ReportListModel.h"

#include <QListView>
#include <QRandomGenerator>
#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Column 0 is the hidden row id (the row's first position), column 1 the key.
void fill(ReportList &list, const QStringList &keys)
{
    list.addColumn(QString(), 0);
    list.addColumn(QStringLiteral("键"), 100);
    for (int i = 0; i < keys.size(); ++i)
        list.addRow({QString::number(i), keys[i]});
}

QList<int> ids(const ReportList &list)
{
    QList<int> out;
    for (int r = 0; r < list.rowCount(); ++r)
        out.append(list.cellText(r, 0).toInt());
    return out;
}

QList<QStringList> allRows(const ReportList &list)
{
    QList<QStringList> out;
    for (int r = 0; r < list.rowCount(); ++r)
        out.append(list.rowTexts(r));
    return out;
}

struct SortCase {
    const char *name;
    QStringList keys;
    int type;
    bool ascending;
    bool caseSensitive;
    QList<int> expectedIds; // original positions in their new order
};

} // namespace

TEST(ListSort, OrdersRowsAsTheListAlwaysHas)
{
    const QList<SortCase> cases = {
        {"upper-cased text, later of equal keys first", {"b", "A", "a"}, 10, true, false, {2, 1, 0}},
        {"text descending", {"b", "A", "a", "c"}, 10, false, false, {3, 0, 2, 1}},
        {"case-sensitive text", {"a", "B"}, 10, true, true, {1, 0}},
        {"GBK order, not UTF-16 order", {QStringLiteral("张"), QStringLiteral("李"), QStringLiteral("阿")}, 10, true,
         false, {2, 1, 0}},
        {"double-byte characters after every ASCII byte (unsigned bytes)",
         {QStringLiteral("阿"), "b", "1", QStringLiteral("Z张")}, 10, true, false, {2, 1, 3, 0}},
        {"text: a prefix is smaller, empty smallest", {"abc", "ab", "", "Abd"}, 10, true, false, {2, 1, 0, 3}},
        {"numbers within 1e-7 are equal", {"10", "9", "9.00000001"}, 3, true, false, {2, 1, 0}},
        {"tolerance is not transitive", {"1.0", "1.00000008", "1.00000016"}, 6, true, false, {2, 1, 0}},
        {"tolerance, descending", {"1.00000016", "1.00000008", "1.0", "0.5"}, 6, false, false, {2, 1, 0, 3}},
        {"no leading number reads 0", {"", "abc", "5"}, 3, true, false, {1, 0, 2}},
        {"leading number, full width, sign", {QStringLiteral("12.5元"), QStringLiteral("１２"), "-3", "abc"}, 4, true,
         false, {2, 3, 1, 0}},
        {"numbers descending", {"2", "10", "2.0", "-1"}, 4, false, false, {1, 2, 0, 3}},
        {"dates as the issue gives them", {QStringLiteral("2015年3月1日"), "2015-02-28", "x"}, 8, true, false, {2, 1, 0}},
        {"every date form, time, non-dates equal and earliest",
         {"2015/03/02", "2015.03.03", "2015-03-01 08:00", QStringLiteral("2015年3月1日 07:59:59"), "2015-02-30", "x"},
         8, true, false, {5, 4, 3, 2, 0, 1}},
        {"dates descending", {"2014-12-31 23:59", "2015-1-1", QStringLiteral("二〇一五")}, 8, false, false, {1, 0, 2}},
        {"one row", {"only"}, 10, true, false, {0}},
    };
    for (const SortCase &c : cases) {
        SCOPED_TRACE(c.name);
        ReportList list;
        fill(list, c.keys);
        EXPECT_EQ(sortListViewByColumn(&list, 1, c.ascending, c.caseSensitive, c.type), QStringLiteral("排序完成"));
        EXPECT_EQ(ids(list), c.expectedIds);
        for (int r = 0; r < list.rowCount(); ++r)
            EXPECT_EQ(list.cellText(r, 1), c.keys[list.cellText(r, 0).toInt()]);
    }
}

TEST(ListSort, WrongArgumentsGiveTheirTextAndLeaveTheListAsItWas)
{
    ReportList list;
    fill(list, {"b", "a", "c"});
    const QList<QStringList> before = allRows(list);
    EXPECT_EQ(sortListViewByColumn(&list, -1), QStringLiteral("错误的列索引"));
    EXPECT_EQ(sortListViewByColumn(&list, 2), QStringLiteral("错误的列索引"));
    EXPECT_EQ(sortListViewByColumn(&list, 1, true, false, 5), QStringLiteral("排序类型不对"));
    EXPECT_EQ(allRows(list), before);

    QListView notAReport;
    EXPECT_EQ(sortListViewByColumn(&notAReport, 0), QStringLiteral("该超级列表框不是报表类型"));
    EXPECT_EQ(sortListViewByColumn(nullptr, 0), QStringLiteral("该超级列表框不是报表类型"));

    ReportList empty;
    fill(empty, {});
    EXPECT_EQ(sortListViewByColumn(&empty, 1), QStringLiteral("排序完成"));
    EXPECT_EQ(empty.rowCount(), 0);
}

TEST(ListSort, SortingTheSameColumnTwiceRestoresTheOrderOfEqualKeys)
{
    ReportList list;
    fill(list, {"x", "y", "x", "X", "1", "1.0"});
    sortListViewByColumn(&list, 1);
    EXPECT_EQ(ids(list), (QList<int>{4, 5, 3, 2, 0, 1}));
    sortListViewByColumn(&list, 1);
    EXPECT_EQ(ids(list), (QList<int>{4, 5, 0, 2, 3, 1}));
    sortListViewByColumn(&list, 1, true, false, 6);
    sortListViewByColumn(&list, 1, true, false, 6);
    EXPECT_EQ(list.cellText(4, 1), "1"); // "1" and "1.0" tie as numbers: back in their order
    EXPECT_EQ(list.cellText(5, 1), "1.0");
}

// The fast order must be exactly the quadratic selection's, also where the number tolerance chains
// keys that are not all equal to each other.
TEST(ListSort, FastOrderIsExactlyTheSelectionOrder)
{
    const QStringList numberPool = {"1",          "1.00000005", "1.0000001", "1.00000015", "1.0000002", "2",
                                    "2.00000009", "1.99999995", "",          "x",          "-0",        "0.0000001"};
    const QStringList textPool = {"a", "A", "b", QStringLiteral("阿"), QStringLiteral("张"), "", "ab", "B"};
    const QStringList datePool = {"2015-03-01", "2015/3/1", QStringLiteral("2015年3月1日"), "2015-03-01 00:00:01", "x", ""};
    QRandomGenerator rng(20150311);
    for (int round = 0; round < 300; ++round) {
        const int n = 1 + int(rng.bounded(40));
        const int kind = round % 3;
        const QStringList &pool = kind == 0 ? numberPool : kind == 1 ? textPool : datePool;
        const int type = kind == 0 ? 6 : kind == 1 ? 10 : 8;
        QStringList keys;
        for (int i = 0; i < n; ++i)
            keys.append(pool[int(rng.bounded(pool.size()))]);
        for (bool ascending : {true, false})
            for (bool caseSensitive : {false, true}) {
                SCOPED_TRACE(keys.join('|').toStdString());
                EXPECT_EQ(listSortOrder(keys, type, ascending, caseSensitive),
                          listSortOrderBySelection(keys, type, ascending, caseSensitive));
            }
    }
}

TEST(ListSort, ReadsEveryDateFormAndTakesAnythingElseAsTheEarliestDate)
{
    const QDateTime earliest(QDate(100, 1, 1), QTime(0, 0));
    const QList<std::pair<QString, QDateTime>> cases = {
        {"2015-03-11", QDateTime(QDate(2015, 3, 11), QTime(0, 0))},
        {"2015/3/1 14:05", QDateTime(QDate(2015, 3, 1), QTime(14, 5))},
        {"2015.03.11 14:05:09", QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9))},
        {QStringLiteral("2015年3月11日"), QDateTime(QDate(2015, 3, 11), QTime(0, 0))},
        {QStringLiteral("2015年03月11日 9:00"), QDateTime(QDate(2015, 3, 11), QTime(9, 0))},
        {QStringLiteral("２０１５－０３－１１"), QDateTime(QDate(2015, 3, 11), QTime(0, 0))},
        {"2015-02-29", earliest},
        {"2015-03-11 25:00", earliest},
        {"2015-03/11", earliest},
        {"0099-12-31", earliest},
        {"", earliest},
        {QStringLiteral("合    计："), earliest},
    };
    for (const auto &[text, expected] : cases) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(listSortDateTime(text), expected);
    }
}

// Nothing else may run while rows are being moved: a queued handler runs only after the sort.
TEST(ListSort, ProcessesNoEventsWhileSorting)
{
    ReportList list;
    QStringList keys;
    for (int i = 0; i < 2000; ++i)
        keys.append(QString::number((i * 7919) % 2000));
    fill(list, keys);
    bool ranDuringSort = false;
    bool sorting = true;
    QTimer::singleShot(0, &list, [&] { ranDuringSort = sorting; });
    sortListViewByColumn(&list, 1, true, false, 3);
    sorting = false;
    QCoreApplication::processEvents();
    EXPECT_FALSE(ranDuringSort);
    EXPECT_EQ(list.cellText(0, 1), "0");
    EXPECT_EQ(list.cellText(1999, 1), "1999");
}
