// The expense page 开支记录: a month's list with the red total row, adding, changing and deleting
// the expense selected in this list, the month picker, and dating by the real day.
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "lists/ReportList.h"
#include "lists/ReportListModel.h"
#include "platform/Clock.h"
#include "platform/MessageScript.h"
#include "platform/NumberText.h"
#include "reports/ExpensePage.h"
#include "reports/Expenses.h"
#include "support/SqliteShopTest.h"
#include "support/TypeOrPaste.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace reports;

namespace {

class ExpensePageTest : public testsupport::SqliteShopTest {
protected:
    qint64 expense(const QString &item, const QString &amount, const QString &day, const QString &shop = QStringLiteral("A"))
    {
        EXPECT_TRUE(context.connection().execute(data::Sql(
            QStringLiteral("INSERT INTO 开支管理 (开支项目,金额,经手人,日期,所属店铺) VALUES (?,?,'李四',?,?)"), {item, amount, day, shop})));
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql("SELECT MAX(id) FROM 开支管理")));
        return rs.integer(0);
    }
    // The stored rows: id, 开支项目, 金额, 经手人, 日期, 所属店铺.
    QList<QStringList> stored()
    {
        QList<QStringList> rows;
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql("SELECT id,开支项目,金额,经手人,日期,所属店铺 FROM 开支管理 ORDER BY id")));
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
            rows << QStringList{rs.text(0), rs.text(1), rs.text(2), rs.text(3), rs.text(4), rs.text(5)};
        return rows;
    }
    // A page whose list holds one expense of 12.5, selected: its cells are in the edits.
    std::unique_ptr<ExpensePage> pageWithOneExpenseSelected()
    {
        EXPECT_TRUE(context.connection().execute(data::Sql("DELETE FROM 开支管理")));
        expense(QStringLiteral("房租"), QStringLiteral("12.5"), QStringLiteral("2015-03-02"));
        script.clear();
        auto page = std::make_unique<ExpensePage>(context);
        listMonth(*page, 2015, 3);
        page->list()->selectRow(0);
        return page;
    }
    void listMonth(ExpensePage &page, int year, int month)
    {
        page.monthPicker()->setDate(QDate(year, month, 1));
        page.findChild<QPushButton *>(QStringLiteral("按月查看1"))->click();
    }
    static QList<QStringList> shown(const ExpensePage &page)
    {
        QList<QStringList> rows;
        for (int r = 0; r < page.list()->rowCount(); ++r)
            rows << page.list()->rowTexts(r);
        return rows;
    }
    void type(ExpensePage &page, const QString &item, const QString &amount, const QString &handler)
    {
        page.itemBox()->setText(item);
        page.amountBox()->setText(amount);
        page.handlerBox()->setText(handler);
    }
    void press(ExpensePage &page, const char *button)
    {
        page.findChild<QPushButton *>(QString::fromUtf8(button))->click();
    }

    MessageScript script;
};

QString n(qint64 id)
{
    return QString::number(id);
}

// What a month lists: its rows of the shop, then the red total row when there is any.
TEST_F(ExpensePageTest, AMonthListsItsExpensesAndTheirExactTotal)
{
    struct Case {
        const char *name;
        QStringList amounts;
        const char *total; // nullptr: no total row
    };
    const Case cases[] = {
        {"the usual month", {"12.5", "30"}, "42.5"},
        {"cents add up exactly", {"0.1", "0.2"}, "0.3"},
        {"empty and non-numeric amounts count 0", {"", "abc", "7"}, "7"},
        {"a month without expenses", {}, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(context.connection().execute(data::Sql("DELETE FROM 开支管理")));
        QList<QStringList> expected;
        for (const QString &amount : c.amounts)
            expected << QStringList{n(expense(QStringLiteral("房租"), amount, QStringLiteral("2015-04-02"))), "房租", amount,
                                    "李四", "2015-04-02"};
        expense(QStringLiteral("电费"), QStringLiteral("99"), QStringLiteral("2015-04-03"), QStringLiteral("B"));
        expense(QStringLiteral("电费"), QStringLiteral("99"), QStringLiteral("2015-03-03"));
        if (c.total)
            expected << QStringList{"", "", "", "合        计：", QString::fromUtf8(c.total)};

        ExpensePage page(context);
        listMonth(page, 2015, 4);
        EXPECT_EQ(page.list()->objectName(), QStringLiteral("超级列表框10"));
        EXPECT_EQ(page.list()->columnTitle(3), QStringLiteral("经手人"));
        EXPECT_EQ(page.list()->columnTitle(4), QStringLiteral("日期"));
        EXPECT_EQ(shown(page), expected);
        for (int r = 0; r < page.list()->rowCount(); ++r)
            EXPECT_EQ(page.list()->listModel()->rowColour(r).isValid(), c.total && r == page.list()->rowCount() - 1);
        if (c.total)
            EXPECT_EQ(page.list()->listModel()->rowColour(page.list()->rowCount() - 1), QColor(255, 0, 0));
    }
    EXPECT_TRUE(script.messages().isEmpty());
}

TEST_F(ExpensePageTest, AddingStoresWhatWasTypedDatedToday)
{
    struct Case {
        const char *item, *amount, *handler;
        bool stored;
        const char *message; // "" for none
    };
    const Case cases[] = {
        {"", "", "王五", false, "未填写开支项目和金额"},
        {"房租", "", "", true, ""}, // an empty amount is accepted and stored empty
        {"", "8", "", true, ""},
        {"水费,电费=1'x", "12.5", "O'Neil", true, ""},
        {"房租", "1e308", "", false, "金额只能输入数字和一个小数点，最多2位小数！"},
        {"房租", "200.567", "", false, "金额只能输入数字和一个小数点，最多2位小数！"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.item);
        ASSERT_TRUE(context.connection().execute(data::Sql("DELETE FROM 开支管理")));
        script.clear();
        ExpensePage page(context);
        type(page, QString::fromUtf8(c.item), QString::fromUtf8(c.amount), QString::fromUtf8(c.handler));
        press(page, "添加");
        EXPECT_EQ(script.texts(), c.message[0] ? QStringList{QString::fromUtf8(c.message)} : QStringList());
        const QList<QStringList> rows = stored();
        ASSERT_EQ(rows.size(), c.stored ? 1 : 0);
        if (c.stored) {
            EXPECT_EQ(rows.at(0).mid(1), (QStringList{QString::fromUtf8(c.item), QString::fromUtf8(c.amount),
                                                      QString::fromUtf8(c.handler), "2015-03-11", "A"}));
            EXPECT_EQ(page.list()->rowCount(), 2);
            EXPECT_EQ(page.list()->rowTexts(0), rows.at(0).mid(0, 5));
        }
        EXPECT_EQ(page.itemBox()->text(), QString::fromUtf8(c.item)); // the edits keep their texts
    }
}

// An amount is money as the counter takes it: a change to an exponent or to more decimals than
// the shop's 销售 allows is refused with the counter's message and the stored amount stays.
TEST_F(ExpensePageTest, AChangeToAnAmountThatIsNotMoneyIsRefused)
{
    const struct {
        const char *decimals, *amount, *stored, *message;
    } cases[] = {
        {"2", "1e308", "12.5", "金额只能输入数字和一个小数点，最多2位小数！"},
        {"1", "13.25", "12.5", "金额只能输入数字和一个小数点，最多1位小数！"},
        {"0", "13.5", "12.5", "金额只能输入整数！"},
        {"1", "13.2", "13.2", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.amount);
        ASSERT_TRUE(context.connection().execute(data::Sql("DELETE FROM 开支管理")));
        expense(QStringLiteral("房租"), QStringLiteral("12.5"), QStringLiteral("2015-03-02"));
        context.shopSettings.销售 = QString::fromUtf8(c.decimals);
        script.clear();
        ExpensePage page(context);
        listMonth(page, 2015, 3);
        page.list()->selectRow(0);
        type(page, QStringLiteral("房租"), QString::fromUtf8(c.amount), QString());
        press(page, "修改");
        EXPECT_EQ(stored().value(0).value(2), QString::fromUtf8(c.stored));
        EXPECT_EQ(script.texts().join(u'|'), QString::fromUtf8(c.message));
    }
}

// An amount with more digits before the point than money has is refused at the key or the paste
// that brings it, as at the checkout (400 nines were stored as typed and summed as 0): the amount
// box keeps the text it held before, the user is told why, and nothing is stored.
TEST_F(ExpensePageTest, AnAmountBeyondTheCeilingIsRefusedAtTheKeyTypedOrPasted)
{
    const QString inputs[] = {QStringLiteral("100000000"), QString(400, u'9'), QStringLiteral("123456789012345"),
                              QStringLiteral("6901234567892\n")};
    for (const QString &input : inputs) {
        for (const bool pasted : {false, true}) {
            SCOPED_TRACE(std::string(pasted ? "pasted " : "typed ") + input.left(20).toStdString());
            const std::unique_ptr<ExpensePage> owned = pageWithOneExpenseSelected();
            ExpensePage &page = *owned;
            ASSERT_EQ(page.amountBox()->text(), QStringLiteral("12.5"));
            QLineEdit *box = page.amountBox();
            box->selectAll();
            if (pasted)
                testsupport::typeOrPaste(box, input, true);
            else
                testsupport::typeOnThroughMessages(box, input, script);
            // Typed, the keys past the ceiling take the box back to what it held before the typing,
            // not to the code's first digits; pasted, the paste is refused. Told once.
            EXPECT_EQ(box->text(), QStringLiteral("12.5"));
            EXPECT_EQ(box->selectedText(), QStringLiteral("12.5"));
            EXPECT_EQ(script.texts(), QStringList{moneyCeilingText()});
            EXPECT_EQ(stored().size(), 1);
            EXPECT_EQ(stored().value(0).value(2), "12.5");
            // The amount typed next replaces it, and is stored.
            script.clear();
            QTest::keyClicks(box, QStringLiteral("30"));
            EXPECT_EQ(box->text(), QStringLiteral("30"));
            press(page, "修改");
            EXPECT_EQ(stored().value(0).value(2), "30");
        }
    }
    // Typing that began on an empty box, then a paste past the ceiling: the paste alone is refused.
    ExpensePage page(context);
    QLineEdit *box = page.amountBox();
    box->setFocus();
    script.clear();
    QTest::keyClicks(box, QStringLiteral("7"));
    testsupport::typeOrPaste(box, QStringLiteral("123456789"), true);
    EXPECT_EQ(box->text(), QStringLiteral("7"));
    EXPECT_EQ(script.texts(), QStringList{moneyCeilingText()});
}

// An amount beyond the ceiling that reaches the box otherwise (a row stored before money had a
// ceiling, selected in the list) is refused when an expense is added or changed: nothing is stored
// and the box keeps what it holds. It may still be shortened key by key.
TEST_F(ExpensePageTest, AnAmountBeyondTheCeilingInTheBoxIsRefusedByTheButtons)
{
    const QString nines(400, u'9');
    for (const char *button : {"添加", "修改"}) {
        SCOPED_TRACE(button);
        const std::unique_ptr<ExpensePage> owned = pageWithOneExpenseSelected();
        ExpensePage &page = *owned;
        page.amountBox()->setText(nines);
        press(page, button);
        EXPECT_EQ(script.texts(), QStringList{moneyCeilingText()});
        EXPECT_EQ(stored().size(), 1);
        EXPECT_EQ(stored().value(0).value(2), "12.5");
        EXPECT_EQ(page.amountBox()->text(), nines);
        script.clear();
        QTest::keyClick(page.amountBox(), Qt::Key_Backspace);
        EXPECT_EQ(page.amountBox()->text(), nines.left(399));
        EXPECT_TRUE(script.texts().isEmpty());
    }
    // The largest amount money holds is stored as typed.
    ExpensePage page(context);
    script.clear();
    page.amountBox()->clear();
    QTest::keyClicks(page.amountBox(), QStringLiteral("99999999.99"));
    page.itemBox()->setText(QStringLiteral("装修"));
    press(page, "添加");
    EXPECT_TRUE(script.texts().isEmpty());
    EXPECT_EQ(stored().value(1).value(2), "99999999.99");
}

// The program left running past midnight into a new month: the expense is dated by the real day
// and the list shows the real month.
TEST_F(ExpensePageTest, AnExpenseIsDatedByTheRealDay)
{
    expense(QStringLiteral("房租"), QStringLiteral("5"), QStringLiteral("2015-03-31"));
    Clock::setFixed(QDateTime(QDate(2015, 4, 1), QTime(0, 10)));
    ExpensePage page(context);
    type(page, QStringLiteral("夜宵"), QStringLiteral("20"), QString());
    press(page, "添加");
    EXPECT_EQ(stored().last().at(4), QStringLiteral("2015-04-01"));
    ASSERT_EQ(page.list()->rowCount(), 2);
    EXPECT_EQ(page.list()->cellText(0, 1), QStringLiteral("夜宵"));
}

// 修改 and 删除 act on the row selected in this list only: nothing selected or the total row
// selected changes nothing and says so.
TEST_F(ExpensePageTest, ChangeAndDeleteActOnThisListsSelectedExpenseOnly)
{
    struct Case {
        const char *name;
        const char *button;
        int select; // row to select; -1 none, 2 the total row
        QList<QStringList> after; // 开支项目, 金额 of the stored rows
        QStringList said;
    };
    const QList<QStringList> untouched{{"房租", "12.5"}, {"水费", "30"}};
    const QStringList noChange{QStringLiteral("请先在列表中选择要修改的开支记录！")};
    const QStringList noDelete{QStringLiteral("请先在列表中选择要删除的开支记录！")};
    const Case cases[] = {
        {"change, nothing selected", "修改", -1, untouched, noChange},
        {"change, total row", "修改", 2, untouched, noChange},
        {"change, second row", "修改", 1, {{"房租", "12.5"}, {"新'项,目=", "9"}}, {}},
        {"delete, nothing selected", "删除", -1, untouched, noDelete},
        {"delete, total row", "删除", 2, untouched, noDelete},
        {"delete, first row", "删除", 0, {{"水费", "30"}}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(context.connection().execute(data::Sql("DELETE FROM 开支管理")));
        expense(QStringLiteral("房租"), QStringLiteral("12.5"), QStringLiteral("2015-03-02"));
        expense(QStringLiteral("水费"), QStringLiteral("30"), QStringLiteral("2015-03-05"));
        script.clear();
        ExpensePage page(context);
        listMonth(page, 2015, 3);
        ASSERT_EQ(page.list()->rowCount(), 3);
        if (c.select >= 0)
            page.list()->selectRow(c.select);
        type(page, QStringLiteral("新'项,目="), QStringLiteral("9"), QStringLiteral("王五"));
        press(page, c.button);
        QList<QStringList> after;
        for (const QStringList &row : stored())
            after << row.mid(1, 2);
        EXPECT_EQ(after, c.after);
        EXPECT_EQ(script.texts(), c.said);
        // The list shows the month as stored, with its total.
        EXPECT_EQ(page.list()->rowCount(), c.after.size() + 1);
    }
}

// A refill after 修改, 添加 or 删除 keeps the expense that was selected selected, so a second 修改
// changes it again; the edits keep what was typed.
TEST_F(ExpensePageTest, TheSelectedExpenseStaysSelectedAcrossRefills)
{
    const QDate today = Clock::now().date();
    const QString day = today.toString(QStringLiteral("yyyy-MM-dd"));
    const qint64 rent = expense(QStringLiteral("房租"), QStringLiteral("12.5"), day);
    const qint64 water = expense(QStringLiteral("水费"), QStringLiteral("30"), day);
    ExpensePage page(context);
    listMonth(page, today.year(), today.month());
    page.list()->selectRow(1);
    ASSERT_EQ(page.amountBox()->text(), QStringLiteral("30"));

    const struct {
        const char *button;
        const char *item, *amount; // typed before the press
        const char *waterAmount;   // 水费's stored amount after it
        int rows;                  // expense rows listed after it
    } steps[] = {
        {"修改", "水费", "13", "13", 2},
        {"修改", "水费", "14", "14", 2},      // the second change is not lost
        {"添加", "电费", "50", "14", 3},      // adding lists the new row; 水费 stays selected
        {"修改", "水费", "15", "15", 3},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(std::string(s.button) + " " + s.amount);
        type(page, QString::fromUtf8(s.item), QString::fromUtf8(s.amount), QStringLiteral("李四"));
        press(page, s.button);
        EXPECT_TRUE(script.texts().isEmpty());
        EXPECT_EQ(stored().at(1).at(2), QString::fromUtf8(s.waterAmount));
        EXPECT_EQ(stored().at(0).at(2), QStringLiteral("12.5"));
        ASSERT_EQ(page.list()->rowCount(), s.rows + 1);
        ASSERT_EQ(page.list()->selectedRow(), 1);
        EXPECT_EQ(page.list()->cellText(1, 0), n(water));
        EXPECT_EQ(page.itemBox()->text(), QString::fromUtf8(s.item));   // the edits keep what was typed
        EXPECT_EQ(page.amountBox()->text(), QString::fromUtf8(s.amount));
    }

    // Deleting the selected expense leaves nothing selected, and a 修改 then says so.
    press(page, "删除");
    EXPECT_EQ(page.list()->selectedRow(), -1);
    EXPECT_EQ(stored().size(), 2);
    EXPECT_EQ(stored().at(0).at(0), n(rent));
    press(page, "修改");
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("请先在列表中选择要修改的开支记录！")});
}

TEST_F(ExpensePageTest, SelectingARowCopiesItsCellsIntoTheEdits)
{
    expense(QStringLiteral("房租"), QStringLiteral("12.5"), QStringLiteral("2015-03-02"));
    ExpensePage page(context);
    listMonth(page, 2015, 3);
    page.list()->selectRow(0);
    EXPECT_EQ(page.itemBox()->text(), QStringLiteral("房租"));
    EXPECT_EQ(page.amountBox()->text(), QStringLiteral("12.5"));
    EXPECT_EQ(page.handlerBox()->text(), QStringLiteral("李四"));
    page.list()->selectRow(1); // the total row
    EXPECT_EQ(page.itemBox()->text(), QString());
    EXPECT_EQ(page.handlerBox()->text(), QStringLiteral("合        计："));
}

TEST_F(ExpensePageTest, AChangeWhileMayIsShownListsTheCurrentMonth)
{
    const qint64 may = expense(QStringLiteral("五月房租"), QStringLiteral("100"), QStringLiteral("2015-05-02"));
    const qint64 march = expense(QStringLiteral("三月水费"), QStringLiteral("30"), QStringLiteral("2015-03-05"));
    ExpensePage page(context);
    listMonth(page, 2015, 5);
    ASSERT_EQ(page.list()->cellText(0, 0), n(may));
    page.list()->selectRow(0);
    page.amountBox()->setText(QStringLiteral("120"));
    press(page, "修改");
    EXPECT_EQ(stored().at(0).at(2), QStringLiteral("120"));
    EXPECT_EQ(stored().at(0).at(4), QStringLiteral("2015-05-02")); // the date never changes
    EXPECT_EQ(shown(page), (QList<QStringList>{{n(march), "三月水费", "30", "李四", "2015-03-05"},
                                               {"", "", "", "合        计：", "30"}}));
}

TEST_F(ExpensePageTest, ARefusedWriteSaysSoAndKeepsTheList)
{
    expense(QStringLiteral("房租"), QStringLiteral("12.5"), QStringLiteral("2015-03-02"));
    ASSERT_TRUE(context.connection().execute(
        data::Sql("CREATE TRIGGER keep_expenses BEFORE INSERT ON 开支管理 BEGIN SELECT RAISE(ABORT, 'kept'); END")));
    ExpensePage page(context);
    listMonth(page, 2015, 3);
    type(page, QStringLiteral("水费"), QStringLiteral("30"), QString());
    press(page, "添加");
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("开支记录没有保存，请检查数据库连接后重试！")});
    EXPECT_EQ(stored().size(), 1);
    EXPECT_EQ(page.list()->rowCount(), 2);
}

} // namespace
