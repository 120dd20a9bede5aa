#include "members/MemberTierGrid.h"
#include "members/MemberTierStore.h"

#include "context/ShopDatabase.h"
#include "data/RecordSet.h"
#include "lists/ListCellEditor.h"
#include "lists/ReportList.h"
#include "lists/ReportListModel.h"
#include "platform/MessageScript.h"
#include "support/SqliteShopTest.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// The tier grid on a page beside another box to click into, on a fresh SQLite shop "A".
class MemberTierGridTest : public testsupport::SqliteShopTest
{
protected:
    void SetUp() override
    {
        SqliteShopTest::SetUp();
        if (HasFatalFailure())
            return;
        page = std::make_unique<QWidget>();
        page->resize(480, 320);
        tiers = new members::MemberTierGrid(context, page.get());
        tiers->setGeometry(10, 10, 300, 200);
        other = new QLineEdit(page.get());
        other->setGeometry(340, 30, 120, 24);
        editor = tiers->attachCellEditor();
        commits = std::make_unique<QSignalSpy>(editor, &ListCellEditor::cellCommitted);
        page->show();
        QApplication::setActiveWindow(page.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
        tiers->loadMemberCategoryList();
    }
    void TearDown() override
    {
        commits.reset();
        page.reset();
        SqliteShopTest::TearDown();
    }

    ReportList *grid() { return tiers->grid(); }
    QLineEdit *box() { return tiers->editorBox(); }

    // Double-clicks a cell, types the text over its content and presses Enter.
    void typeIntoCell(int row, int column, const QString &text, bool enter = true)
    {
        const QPoint at = grid()->visualRect(grid()->listModel()->index(row, column)).center();
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QApplication::processEvents();
        ASSERT_TRUE(box()->isVisible());
        box()->selectAll();
        box()->insert(text); // typed text, CJK included
        if (enter)
            QTest::keyClick(box(), Qt::Key_Return);
        else
            QTest::mouseClick(other, Qt::LeftButton);
        QApplication::processEvents();
    }

    // The rows of a shop, "名称|折扣|积分" by id.
    QStringList tierRows(const QString &shop)
    {
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT * FROM [会员类别] WHERE 所属店铺=? ORDER BY id"), {shop})));
        QStringList out;
        for (; !rs.pastLast(); rs.moveNext())
            out << rs.text(QStringLiteral("会员类别")) + u'|' + rs.text(QStringLiteral("会员折扣")) + u'|'
                       + rs.text(QStringLiteral("累计积分"));
        return out;
    }
    QStringList gridTexts()
    {
        QStringList out;
        for (int r = 0; r < grid()->rowCount(); ++r)
            out << grid()->rowTexts(r).mid(1).join(u'|');
        return out;
    }
    void exec(const QString &sql, const QVariantList &values = {})
    {
        ASSERT_TRUE(context.connection().execute(data::Sql(sql, values))) << sql.toStdString();
    }
    void addShopTiers(const QStringList &rows)
    {
        for (const QString &row : rows) {
            const QStringList f = row.split(u'|');
            exec(QStringLiteral("INSERT INTO [会员类别] (会员类别, 会员折扣, 累计积分, 所属店铺) VALUES (?,?,?,'A')"),
                 {f[0], f[1], f[2]});
        }
    }

    MessageScript messages;
    std::unique_ptr<QWidget> page;
    members::MemberTierGrid *tiers = nullptr;
    QLineEdit *other = nullptr;
    ListCellEditor *editor = nullptr;
    std::unique_ptr<QSignalSpy> commits;
};

const QStringList kDefaults{QStringLiteral("金卡会员|0.8|3000"), QStringLiteral("银卡会员|0.9|1000"),
                            QStringLiteral("普通会员|0.95|0")};

} // namespace

TEST_F(MemberTierGridTest, AShopWithoutTiersSeesTheDefaultRowsAndTheGridsColumns)
{
    ASSERT_EQ(grid()->columnCount(), 4);
    EXPECT_EQ(grid()->objectName(), QStringLiteral("超级列表框11"));
    EXPECT_EQ(box()->objectName(), QStringLiteral("编辑框8"));
    EXPECT_EQ(grid()->columnWidth(0), 0);
    EXPECT_EQ(grid()->columnTitle(1), QStringLiteral("会员类别"));
    EXPECT_EQ(grid()->columnTitle(2), QStringLiteral("折扣"));
    EXPECT_EQ(grid()->columnTitle(3), QStringLiteral("升级积分"));
    EXPECT_EQ(gridTexts(), kDefaults);
    EXPECT_FALSE(grid()->cellText(0, 0).isEmpty());
}

// Enter and a click elsewhere each save once: the first edit copies every shown row with the edit
// in place, the default rows stay, and the grid then shows the shop's own rows.
TEST_F(MemberTierGridTest, FirstEditCopiesEveryShownRowOnceByEnterOrByClickingElsewhere)
{
    for (const bool enter : {true, false}) {
        SCOPED_TRACE(enter ? "Enter" : "click elsewhere");
        exec(QStringLiteral("DELETE FROM [会员类别] WHERE 所属店铺='A'"));
        tiers->loadMemberCategoryList();
        commits->clear();
        const QString templateId = grid()->cellText(1, 0);

        typeIntoCell(1, 2, QStringLiteral("0.85"), enter);
        EXPECT_EQ(commits->count(), 1);
        EXPECT_EQ(tierRows(QStringLiteral("A")),
                  (QStringList{QStringLiteral("金卡会员|0.8|3000"), QStringLiteral("银卡会员|0.85|1000"),
                               QStringLiteral("普通会员|0.95|0")}));
        EXPECT_EQ(tierRows(QStringLiteral("---")), kDefaults);
        EXPECT_EQ(gridTexts(), tierRows(QStringLiteral("A")));
        EXPECT_NE(grid()->cellText(1, 0), templateId);
        EXPECT_EQ(context.memberTiers[1].会员折扣, QStringLiteral("0.85"));
        EXPECT_TRUE(messages.texts().isEmpty());

        // The next edit updates the shop's rows in place.
        typeIntoCell(0, 3, QStringLiteral("5000"), enter);
        EXPECT_EQ(tierRows(QStringLiteral("A")).size(), 3);
        EXPECT_EQ(tierRows(QStringLiteral("A")).first(), QStringLiteral("金卡会员|0.8|5000"));
        EXPECT_EQ(context.memberTiers[0].累计积分, QStringLiteral("5000"));
    }
}

TEST_F(MemberTierGridTest, TiersAreTheThreeSmallestFactorsByNumber)
{
    addShopTiers({QStringLiteral("一|1|0"), QStringLiteral("二|.9|100"), QStringLiteral("三|0.85|200"),
                  QStringLiteral("四|0.6|300")});
    tiers->loadMemberCategoryList();
    ASSERT_EQ(grid()->rowCount(), 4);
    typeIntoCell(3, 2, QStringLiteral("0.5"));
    EXPECT_EQ(tierRows(QStringLiteral("A")).size(), 4);
    const QStringList expected{QStringLiteral("四|0.5|300"), QStringLiteral("三|0.85|200"), QStringLiteral("二|.9|100")};
    for (int t = 0; t < 3; ++t)
        EXPECT_EQ(context.memberTiers[t].会员类别 + u'|' + context.memberTiers[t].会员折扣 + u'|'
                      + context.memberTiers[t].累计积分,
                  expected[t]);
}

TEST_F(MemberTierGridTest, WithoutAWorkstationShopTheEditStaysInTheGridAndNothingIsSaved)
{
    context.currentShop.clear();
    tiers->loadMemberCategoryList();
    typeIntoCell(0, 1, QStringLiteral("钻石会员"));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("修改无效！！！请在上面先指定本机当前使用哪个店铺")});
    EXPECT_EQ(grid()->cellText(0, 1), QStringLiteral("钻石会员"));
    EXPECT_EQ(tierRows(QStringLiteral("---")), kDefaults);
    EXPECT_TRUE(tierRows(QString()).isEmpty());
}

TEST_F(MemberTierGridTest, ARefusedCellTakesBackItsTextWithAMessageAndNothingIsWritten)
{
    const QString badFactor = QStringLiteral("折扣请填写0到1之间的小数，比如：9折 输入0.9，75折 输入0.75");
    const QString badThreshold = QStringLiteral("升级积分请填写整数，比如：1000");
    const struct
    {
        int column;
        QString typed;
        QString message;
    } cases[] = {
        {2, QStringLiteral("0"), badFactor},         {2, QStringLiteral("1.5"), badFactor},
        {2, QStringLiteral("abc"), badFactor},       {2, QStringLiteral("-0.5"), badFactor},
        {2, QString(), badFactor},                   {3, QStringLiteral("1.5"), badThreshold},
        {3, QStringLiteral("abc"), badThreshold},    {3, QStringLiteral("-5"), badThreshold},
        {1, QString(), QStringLiteral("会员类别名称不能为空")},
        {1, QStringLiteral("金卡会员"), QStringLiteral("会员类别『金卡会员』重复，请换一个名称")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        messages.clear();
        const QString before = grid()->cellText(1, c.column);
        typeIntoCell(1, c.column, c.typed);
        EXPECT_EQ(messages.texts(), QStringList{c.message});
        EXPECT_EQ(grid()->cellText(1, c.column), before);
        EXPECT_TRUE(tierRows(QStringLiteral("A")).isEmpty());
    }
    // Full-width digits and blanks around a number are taken as the number.
    messages.clear();
    typeIntoCell(1, 2, QStringLiteral(" ０.８８ "));
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_EQ(tierRows(QStringLiteral("A")).at(1), QStringLiteral("银卡会员|0.88|1000"));
}

// A renamed tier takes the shop's members of the old name with it; other shops' members keep theirs.
TEST_F(MemberTierGridTest, RenamingATierCarriesTheShopsMembers)
{
    addShopTiers(kDefaults);
    for (const auto &[card, tier, shop] : {std::tuple{"1", "银卡会员", "A"}, std::tuple{"2", "银卡会员", "B"},
                                           std::tuple{"3", "金卡会员", "A"}})
        exec(QStringLiteral("INSERT INTO [会员管理] (会员卡号, 会员类别, 所属店铺) VALUES (?,?,?)"),
             {QString::fromUtf8(card), QString::fromUtf8(tier), QString::fromUtf8(shop)});
    tiers->loadMemberCategoryList();
    typeIntoCell(1, 1, QStringLiteral("白金会员"));

    data::RecordSet rs(context.connection());
    ASSERT_TRUE(rs.open(data::Sql("SELECT 会员卡号, 会员类别 FROM [会员管理] ORDER BY id")));
    QStringList members;
    for (; !rs.pastLast(); rs.moveNext())
        members << rs.text(0) + u'|' + rs.text(1);
    EXPECT_EQ(members, (QStringList{QStringLiteral("1|白金会员"), QStringLiteral("2|银卡会员"), QStringLiteral("3|金卡会员")}));
    EXPECT_EQ(context.memberTiers[1].会员类别, QStringLiteral("白金会员"));
}

// Two workstations both showing the default rows: the second first save copies nothing more, and
// says the grid is read again.
TEST_F(MemberTierGridTest, ASecondFirstSaveNeverCopiesTwice)
{
    AppContext second;
    ASSERT_TRUE(second.connection().openSqlite(database->sqlitePath()));
    second.currentShop = QStringLiteral("A");
    const members::MemberCategoryList shownThere = members::loadMemberCategoryRows(second);
    ASSERT_FALSE(shownThere.own);

    typeIntoCell(0, 3, QStringLiteral("4000"));
    ASSERT_EQ(tierRows(QStringLiteral("A")).size(), 3);

    QList<members::MemberCategoryRow> rows = shownThere.rows;
    rows[2].threshold = QStringLiteral("50");
    const members::TierSaveResult result = members::saveMemberCategories(second, shownThere.rows, rows);
    EXPECT_FALSE(result.saved);
    EXPECT_TRUE(result.reload);
    EXPECT_EQ(result.message, QStringLiteral("本店的会员类别刚被其他电脑修改，已重新读取，请再修改一次"));
    EXPECT_EQ(tierRows(QStringLiteral("A")), (QStringList{QStringLiteral("金卡会员|0.8|4000"), QStringLiteral("银卡会员|0.9|1000"),
                                                          QStringLiteral("普通会员|0.95|0")}));
    second.connection().close();
}

TEST_F(MemberTierGridTest, AShopWithTwoRowsHasNoThirdTier)
{
    context.memberTiers[2] = {QStringLiteral("0.95"), QStringLiteral("旧"), QStringLiteral("0")};
    addShopTiers({QStringLiteral("甲|0.7|100"), QStringLiteral("乙|0.9|0")});
    tiers->loadMemberCategoryList();
    typeIntoCell(0, 3, QStringLiteral("200"));
    EXPECT_EQ(context.memberTiers[0].会员类别, QStringLiteral("甲"));
    EXPECT_EQ(context.memberTiers[1].会员类别, QStringLiteral("乙"));
    EXPECT_EQ(context.memberTiers[2], MemberTier{});
}

namespace {

class MemberTierStoreTest : public testsupport::BothBackends
{
};

} // namespace

// The first save copies, the next updates in place and renames the shop's members, on both backends.
TEST_P(MemberTierStoreTest, CopyThenUpdateWithRename)
{
    AppContext context;
    ASSERT_TRUE(db().openAnother(context.connection()));
    context.currentShop = QStringLiteral("A");
    const QString members = dialect().quoteTable(QStringLiteral("会员管理"));
    ASSERT_TRUE(conn().execute(data::Sql(QStringLiteral("INSERT INTO ") + members
                                         + QStringLiteral(" (会员卡号, 会员类别, 所属店铺) VALUES ('1','普通会员','A'),('2','普通会员','B')"))));

    members::MemberCategoryList shown = members::loadMemberCategoryRows(context);
    ASSERT_TRUE(shown.ok);
    ASSERT_FALSE(shown.own);
    QList<members::MemberCategoryRow> read = shown.rows;
    shown.rows[0].factor = QStringLiteral(".75");
    members::TierSaveResult saved = members::saveMemberCategories(context, read, shown.rows);
    ASSERT_TRUE(saved.saved) << saved.message.toStdString();
    EXPECT_TRUE(saved.copied);

    shown = members::loadMemberCategoryRows(context);
    ASSERT_TRUE(shown.own);
    ASSERT_EQ(shown.rows.size(), 3);
    read = shown.rows;
    shown.rows[2].name = QStringLiteral("新会员's");
    saved = members::saveMemberCategories(context, read, shown.rows);
    ASSERT_TRUE(saved.saved) << saved.message.toStdString();
    EXPECT_FALSE(saved.copied);

    EXPECT_EQ(context.memberTiers[0].会员折扣, QStringLiteral(".75"));
    EXPECT_EQ(context.memberTiers[2].会员类别, QStringLiteral("新会员's"));
    data::RecordSet rs(conn());
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT 会员卡号, 会员类别 FROM ") + members + QStringLiteral(" ORDER BY id"))));
    QStringList rows;
    for (; !rs.pastLast(); rs.moveNext())
        rows << rs.text(0) + u'|' + rs.text(1);
    EXPECT_EQ(rows, (QStringList{QStringLiteral("1|新会员's"), QStringLiteral("2|普通会员")}));
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) FROM ") + dialect().quoteTable(QStringLiteral("会员类别")))));
    EXPECT_EQ(rs.integer(0), 6);
    context.connection().close();
}

SHOPDESK_BOTH_BACKENDS(MemberTierStoreTest);

namespace {

// Two workstations of shop "A" on the server, both with the tier grid read before either saves;
// then workstation A renames 银卡会员 to 白金会员 (its members follow) and workstation B saves an
// edit of its own, made on the grid as it read it.
struct StaleGridCase {
    const char *name;
    int row;
    int column; // 1 会员类别, 2 会员折扣, 3 累计积分
    const char16_t *text;
    bool saved;
    QStringList tiers; // the shop's rows afterwards, "名称|折扣|积分" by id
};
void PrintTo(const StaleGridCase &c, std::ostream *os)
{
    *os << c.name;
}

class StaleTierGrid : public ::testing::TestWithParam<StaleGridCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.ok()) << db.error().toStdString();
        for (AppContext *station : {&a, &b}) {
            ASSERT_TRUE(db.openAnother(station->connection()));
            station->currentShop = QStringLiteral("A");
            station->runMode = AppContext::NetworkMode;
        }
        for (const auto &[name, factor, threshold] : {std::tuple{"金卡会员", "0.8", "3000"}, std::tuple{"银卡会员", "0.9", "1000"},
                                                      std::tuple{"普通会员", "0.95", "0"}})
            exec(QStringLiteral("INSERT INTO \"会员类别\" (会员类别, 会员折扣, 累计积分, 所属店铺) VALUES (?,?,?,'A')"),
                 {QString::fromUtf8(name), QString::fromUtf8(factor), QString::fromUtf8(threshold)});
        for (const auto &[card, shop] : {std::pair{"1", "A"}, std::pair{"2", "B"}})
            exec(QStringLiteral("INSERT INTO \"会员管理\" (会员卡号, 会员类别, 所属店铺) VALUES (?,'银卡会员',?)"),
                 {QString::fromUtf8(card), QString::fromUtf8(shop)});
    }
    void TearDown() override
    {
        a.connection().close();
        b.connection().close();
    }
    void exec(const QString &sql, const QVariantList &values)
    {
        ASSERT_TRUE(db.connection().execute(data::Sql(sql, values))) << db.connection().lastError().toStdString();
    }
    QStringList rows(const QString &sql)
    {
        data::RecordSet rs(db.connection());
        EXPECT_TRUE(rs.open(data::Sql(sql)));
        QStringList out;
        for (; !rs.pastLast(); rs.moveNext()) {
            QStringList cells;
            for (int i = 0; i < rs.columns().size(); ++i)
                cells << rs.text(i);
            out << cells.join(u'|');
        }
        return out;
    }
    static void setCell(members::MemberCategoryRow &row, int column, const QString &text)
    {
        (column == 1 ? row.name : column == 2 ? row.factor : row.threshold) = text;
    }

    testsupport::TestDatabase db{data::Backend::Postgres};
    AppContext a, b;
    MessageScript messages;
};

TEST_P(StaleTierGrid, WritesOnlyWhatThisWorkstationChangedAndRefusesARowChangedMeanwhile)
{
    const StaleGridCase c = GetParam();
    const members::MemberCategoryList readA = members::loadMemberCategoryRows(a);
    const members::MemberCategoryList readB = members::loadMemberCategoryRows(b);
    ASSERT_TRUE(readA.own);
    ASSERT_TRUE(readB.own);

    QList<members::MemberCategoryRow> renamed = readA.rows;
    renamed[1].name = QStringLiteral("白金会员");
    ASSERT_TRUE(members::saveMemberCategories(a, readA.rows, renamed).saved);

    QList<members::MemberCategoryRow> edited = readB.rows;
    setCell(edited[c.row], c.column, QString::fromUtf16(c.text));
    const members::TierSaveResult result = members::saveMemberCategories(b, readB.rows, edited);
    EXPECT_EQ(result.saved, c.saved);
    EXPECT_EQ(result.reload, !c.saved);
    EXPECT_EQ(result.message, c.saved ? QString() : QStringLiteral("本店的会员类别刚被其他电脑修改，已重新读取，请再修改一次"));

    EXPECT_EQ(rows(QStringLiteral("SELECT 会员类别, 会员折扣, 累计积分 FROM \"会员类别\" WHERE 所属店铺='A' ORDER BY id")), c.tiers);
    EXPECT_EQ(rows(QStringLiteral("SELECT 会员卡号, 会员类别 FROM \"会员管理\" ORDER BY id")),
              (QStringList{QStringLiteral("1|白金会员"), QStringLiteral("2|银卡会员")}));
    EXPECT_EQ(b.memberTiers[1].会员类别, c.saved ? QStringLiteral("白金会员") : QString());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StaleTierGrid,
    ::testing::Values(
        StaleGridCase{"AnotherRowsThreshold", 0, 3, u"4000", true,
                      {QStringLiteral("金卡会员|0.8|4000"), QStringLiteral("白金会员|0.9|1000"), QStringLiteral("普通会员|0.95|0")}},
        StaleGridCase{"AnotherRowsName", 2, 1, u"新会员", true,
                      {QStringLiteral("金卡会员|0.8|3000"), QStringLiteral("白金会员|0.9|1000"), QStringLiteral("新会员|0.95|0")}},
        StaleGridCase{"TheRenamedRowsFactor", 1, 2, u"0.85", false,
                      {QStringLiteral("金卡会员|0.8|3000"), QStringLiteral("白金会员|0.9|1000"), QStringLiteral("普通会员|0.95|0")}},
        StaleGridCase{"AnotherRowTakesTheNewName", 2, 1, u"白金会员", false,
                      {QStringLiteral("金卡会员|0.8|3000"), QStringLiteral("白金会员|0.9|1000"), QStringLiteral("普通会员|0.95|0")}}),
    [](const ::testing::TestParamInfo<StaleGridCase> &info) { return std::string(info.param.name); });

// A save this workstation's grid made while another workstation had renamed a tier it did not
// touch: the grid shows the rows as stored, the new name included, and the next edit of that row
// is saved as well.
class TierGridAfterSave : public StaleTierGrid {};

TEST_F(TierGridAfterSave, ShowsTheRowsAsStoredWithAnotherWorkstationsChanges)
{
    members::MemberTierGrid grid(b);
    grid.loadMemberCategoryList();
    const auto shown = [&grid] {
        QStringList out;
        for (int r = 0; r < grid.grid()->rowCount(); ++r)
            out << grid.grid()->rowTexts(r).mid(1).join(u'|');
        return out;
    };
    const auto stored = [this] {
        return rows(QStringLiteral("SELECT 会员类别, 会员折扣, 累计积分 FROM \"会员类别\" WHERE 所属店铺='A' ORDER BY id"));
    };
    const members::MemberCategoryList readA = members::loadMemberCategoryRows(a);
    QList<members::MemberCategoryRow> renamed = readA.rows;
    renamed[1].name = QStringLiteral("白金会员");
    ASSERT_TRUE(members::saveMemberCategories(a, readA.rows, renamed).saved);

    grid.commitMemberCategoryCell(0, 3, QStringLiteral("4000"));
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'/').toStdString();
    EXPECT_EQ(stored(), (QStringList{QStringLiteral("金卡会员|0.8|4000"), QStringLiteral("白金会员|0.9|1000"),
                                     QStringLiteral("普通会员|0.95|0")}));
    EXPECT_EQ(shown(), stored());

    grid.commitMemberCategoryCell(1, 2, QStringLiteral("0.85"));
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'/').toStdString();
    EXPECT_EQ(stored(), (QStringList{QStringLiteral("金卡会员|0.8|4000"), QStringLiteral("白金会员|0.85|1000"),
                                     QStringLiteral("普通会员|0.95|0")}));
    EXPECT_EQ(shown(), stored());
}

} // namespace

namespace {

// Two workstations with the same grid change the same cell at once. A third connection holds the
// tier table against writes (reads go on) until both wait, one at its write, the other for the
// save lock; then the second one must find the row changed and write nothing.
TEST(TierGridConcurrency, TheSameCellSavedAtOnceByTwoWorkstationsIsWrittenOnce)
{
    testsupport::TestDatabase db(data::Backend::Postgres);
    ASSERT_TRUE(db.ok()) << db.error().toStdString();
    for (const auto &[name, factor] : {std::pair{"金卡会员", "0.8"}, std::pair{"银卡会员", "0.9"}})
        ASSERT_TRUE(db.connection().execute(data::Sql(
            QStringLiteral("INSERT INTO \"会员类别\" (会员类别, 会员折扣, 累计积分, 所属店铺) VALUES (?,?,'0','A')"),
            {QString::fromUtf8(name), QString::fromUtf8(factor)})));
    data::Connection holder;
    ASSERT_TRUE(db.openAnother(holder));
    data::Transaction hold = holder.transaction();
    ASSERT_TRUE(hold.isActive());
    ASSERT_TRUE(holder.execute(data::Sql("LOCK TABLE \"会员类别\" IN SHARE MODE")));

    MessageScript messages;
    members::TierSaveResult results[2];
    std::atomic<int> loaded{0};
    const QString factors[2] = {QStringLiteral("0.85"), QStringLiteral("0.88")};
    auto station = [&](int k) {
        AppContext context;
        if (!db.openAnother(context.connection()))
            return;
        context.currentShop = QStringLiteral("A");
        const members::MemberCategoryList read = members::loadMemberCategoryRows(context);
        ++loaded;
        if (read.rows.size() != 2)
            return;
        QList<members::MemberCategoryRow> rows = read.rows;
        rows[1].factor = factors[k];
        results[k] = members::saveMemberCategories(context, read.rows, rows);
        context.connection().close();
    };
    std::thread one(station, 0);
    std::thread two(station, 1);
    bool met = false;
    for (int poll = 0; poll < 12000 && !met; ++poll) {
        met = loaded == 2 && testsupport::TestDatabase::waitingForLocks(holder) >= 2;
        if (!met)
            QThread::msleep(5);
    }
    EXPECT_TRUE(met) << "the stations never waited together";
    EXPECT_TRUE(hold.commit());
    one.join();
    two.join();

    ASSERT_NE(results[0].saved, results[1].saved);
    const int winner = results[0].saved ? 0 : 1;
    EXPECT_TRUE(results[1 - winner].reload);
    EXPECT_EQ(results[1 - winner].message, QStringLiteral("本店的会员类别刚被其他电脑修改，已重新读取，请再修改一次"));
    data::RecordSet rs(db.connection());
    ASSERT_TRUE(rs.open(data::Sql("SELECT 会员折扣 FROM \"会员类别\" WHERE 所属店铺='A' ORDER BY id")));
    QStringList stored;
    for (; !rs.pastLast(); rs.moveNext())
        stored << rs.text(0);
    EXPECT_EQ(stored, (QStringList{QStringLiteral("0.8"), factors[winner]}));
}

} // namespace
