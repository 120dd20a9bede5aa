#include "members/MemberAdjust.h"
#include "members/MemberAdjustPanel.h"

#include "data/RecordSet.h"
#include "lists/ReportList.h"
#include "platform/Clock.h"
#include "platform/MessageScript.h"
#include "platform/NumberText.h"
#include "support/SqliteShopTest.h"
#include "support/TestDatabase.h"
#include "support/TypeOrPaste.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <thread>

namespace {

// The adjustment panel alone, on a fresh SQLite shop "A" with one member of its own.
class MemberAdjustPanelTest : public testsupport::SqliteShopTest
{
protected:
    void SetUp() override
    {
        SqliteShopTest::SetUp();
        if (HasFatalFailure())
            return;
        memberId = addMember(QStringLiteral("8001"), QStringLiteral("120"), QStringLiteral("50.5"), QStringLiteral("A"));
        panel = std::make_unique<members::MemberAdjustPanel>(context);
        adjusted = std::make_unique<QSignalSpy>(panel.get(), &members::MemberAdjustPanel::memberAdjusted);
    }
    void TearDown() override
    {
        adjusted.reset();
        panel.reset();
        SqliteShopTest::TearDown();
    }

    void exec(const QString &sql, const QVariantList &values = {})
    {
        ASSERT_TRUE(context.connection().execute(data::Sql(sql, values))) << sql.toStdString();
    }
    QString addMember(const QString &card, const QString &points, const QString &stored, const QString &shop)
    {
        exec(QStringLiteral("INSERT INTO [会员管理] (会员卡号, 会员姓名, 积分, 会员储值, 所属店铺) VALUES (?,'王芳',?,?,?)"),
             {card, points, stored, shop});
        data::RecordSet rs(context.connection());
        rs.open(data::Sql("SELECT MAX(id) AS m FROM [会员管理]"));
        return rs.text(QStringLiteral("m"));
    }
    QString memberField(const QString &column)
    {
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT * FROM [会员管理] WHERE id=?"), {memberId.toLongLong()})));
        return rs.text(column);
    }
    int count(const QString &table)
    {
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) AS n FROM [") + table + u']')));
        return int(rs.integer(QStringLiteral("n")));
    }
    QLineEdit *edit(const char *name) { return panel->findChild<QLineEdit *>(QString::fromUtf8(name)); }
    QPushButton *button(const char *name) { return panel->findChild<QPushButton *>(QString::fromUtf8(name)); }
    void fill(const QString &add, const QString &subtract, const QString &stored, const QString &remark = QString())
    {
        edit("增加积分4")->setText(add);
        edit("减少积分4")->setText(subtract);
        edit("增加储值4")->setText(stored);
        edit("备注4")->setText(remark);
    }
    // The history list's rows, cells joined by "|".
    QStringList historyRows()
    {
        QStringList out;
        for (int r = 0; r < panel->historyList()->rowCount(); ++r)
            out << panel->historyList()->rowTexts(r).join(u'|');
        return out;
    }
    void addAdjustment(const QString &card, const QString &shop, const QString &remark)
    {
        exec(QStringLiteral("INSERT INTO [调整积分] (积分卡号, 调整日期, 增加积分, 减少积分, 增加储值, 备注, 操作员, 门面) "
                            "VALUES (?,'2015-03-01','1','','',?,'李四',?)"),
             {card, remark, shop});
    }

    MessageScript messages;
    QString memberId;
    std::unique_ptr<members::MemberAdjustPanel> panel;
    std::unique_ptr<QSignalSpy> adjusted;
};

} // namespace

TEST_F(MemberAdjustPanelTest, AdjustmentsChangeTheStoredFiguresAndRecordThemselves)
{
    const struct
    {
        QString points, stored;            // the member before
        QString add, subtract, addStored;  // typed
        QString newPoints, newStored;      // stored after
    } cases[] = {
        {"120", "50.5", "30", "", "", "150", "50.5"},
        {"120", "50.5", "", "200", "", "-80", "50.5"},
        {"120", "50.5", "", "", "10", "120", "60.5"},
        {"120", "0", "", "", "10.9", "120", "10.9"},
        {"120", "", "30", "10", "-0.5", "140", "-0.5"},
        {"120", "50.5", "", "", "１００", "120", "150.5"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.add + u'/' + c.subtract + u'/' + c.addStored).toStdString());
        exec(QStringLiteral("DELETE FROM [调整积分]"));
        exec(QStringLiteral("DELETE FROM [日志记录]"));
        exec(QStringLiteral("UPDATE [会员管理] SET 积分=?, 会员储值=? WHERE id=?"), {c.points, c.stored, memberId.toLongLong()});
        adjusted->clear();
        panel->showMember(memberId, QStringLiteral("8001"));
        fill(c.add, c.subtract, c.addStored, QStringLiteral("补录"));
        QTest::mouseClick(button("积分调整"), Qt::LeftButton);

        EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u';').toStdString();
        EXPECT_EQ(memberField(QStringLiteral("积分")), c.newPoints);
        EXPECT_EQ(memberField(QStringLiteral("会员储值")), c.newStored);
        ASSERT_EQ(adjusted->count(), 1);
        EXPECT_EQ(adjusted->at(0), (QVariantList{memberId, c.newPoints, c.newStored}));
        const QString stored = c.addStored == QStringLiteral("１００") ? QStringLiteral("100") : c.addStored;
        ASSERT_EQ(panel->historyList()->rowCount(), 1);
        EXPECT_EQ(panel->historyList()->rowTexts(0).mid(1),
                  (QStringList{"2015-03-11", c.add, c.subtract, stored, "张三", "A", "8001", "补录"}));
        data::RecordSet log(context.connection());
        ASSERT_TRUE(log.open(data::Sql("SELECT * FROM [日志记录]")));
        ASSERT_EQ(log.rowCount(), 1);
        EXPECT_EQ(log.text(QStringLiteral("操作内容")),
                  QStringLiteral("会员管理--积分调整!  卡号：8001  增加积分：") + c.add + QStringLiteral("  减少积分：")
                      + c.subtract + QStringLiteral("  增加储值：") + stored + QStringLiteral("  备注：补录"));
        EXPECT_EQ(log.text(QStringLiteral("操作时间")), QStringLiteral("2015-03-11 14:5"));
        for (const char *name : {"增加积分4", "减少积分4", "增加储值4", "备注4"})
            EXPECT_TRUE(edit(name)->text().isEmpty()) << name;
    }
}

TEST_F(MemberAdjustPanelTest, RefusedAdjustmentsWriteNothing)
{
    const struct
    {
        bool right;
        QString id;
        QString add, subtract, addStored;
        QString message;
    } cases[] = {
        {false, "", "30", "", "", "没有权限！"},
        {true, "", "30", "", "", "当前还没有选定会员"},
        {true, "*", "abc", "", "", "积分请填写整数，比如：100"},
        {true, "*", "1.5", "", "", "积分请填写整数，比如：100"},
        {true, "*", "", "-3", "", "积分请填写整数，比如：100"},
        {true, "*", "", "", "10.999", "增加预存请填写金额，最多两位小数，比如：100 或 10.5"},
        {true, "*", "", "", "十元", "增加预存请填写金额，最多两位小数，比如：100 或 10.5"},
        {true, "*", "", "", "", "请填写要增加或减少的积分，或要增加的预存金额"},
        {true, "*", "0", "0", "0.00", "请填写要增加或减少的积分，或要增加的预存金额"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        messages.clear();
        context.accountRights.积分调整 = c.right ? AppContext::Granted : QString();
        panel->showMember(c.id == QStringLiteral("*") ? memberId : QString(), c.id.isEmpty() ? QString() : QStringLiteral("8001"));
        fill(c.add, c.subtract, c.addStored);
        QTest::mouseClick(button("积分调整"), Qt::LeftButton);
        EXPECT_EQ(messages.texts(), QStringList{c.message});
        EXPECT_EQ(count(QStringLiteral("调整积分")), 0);
        EXPECT_EQ(count(QStringLiteral("日志记录")), 0);
        EXPECT_EQ(memberField(QStringLiteral("积分")), QStringLiteral("120"));
        EXPECT_EQ(memberField(QStringLiteral("会员储值")), QStringLiteral("50.5"));
        EXPECT_EQ(adjusted->count(), 0);
        EXPECT_EQ(edit("增加积分4")->text(), c.add); // the typing stays for correction
    }
}

// Points or stored value with more digits than money has are refused, typed or pasted: 400 nines
// were stored in the history as typed and read as 0, 15 digits reached the member's figures.
TEST_F(MemberAdjustPanelTest, FiguresBeyondTheCeilingAreRefusedTypedOrPasted)
{
    const QString inputs[] = {QString(400, u'9'), QStringLiteral("123456789012345"), QStringLiteral("6901234567892\n")};
    const std::pair<const char *, QString> fields[] = {
        {"增加积分4", pointsCeilingText()}, {"减少积分4", pointsCeilingText()}, {"增加储值4", moneyCeilingText()}};
    panel->showMember(memberId, QStringLiteral("8001"));
    for (const auto &[name, message] : fields) {
        for (const QString &input : inputs) {
            for (const bool pasted : {false, true}) {
                SCOPED_TRACE(std::string(name) + (pasted ? " pasted " : " typed ") + input.left(20).toStdString());
                messages.clear();
                fill(QString(), QString(), QString());
                QLineEdit *field = edit(name);
                const QString digits = QString(input).remove(u'\n');
                testsupport::typeOrPaste(field, input, pasted);
                QTest::mouseClick(button("积分调整"), Qt::LeftButton);
                EXPECT_EQ(messages.texts(), QStringList{message});
                EXPECT_EQ(count(QStringLiteral("调整积分")), 0);
                EXPECT_EQ(memberField(QStringLiteral("积分")), QStringLiteral("120"));
                EXPECT_EQ(memberField(QStringLiteral("会员储值")), QStringLiteral("50.5"));
                EXPECT_EQ(field->text(), digits); // the typing stays for correction
            }
        }
    }
}

// The figures change from what is stored now, not from what the list showed: a sale stored
// meanwhile is kept. The remark is stored exactly.
TEST_F(MemberAdjustPanelTest, AnAdjustmentBuildsOnTheStoredFiguresAndKeepsTheRemarkExactly)
{
    panel->showMember(memberId, QStringLiteral("8001"));
    exec(QStringLiteral("UPDATE [会员管理] SET 积分='300', 会员储值='20' WHERE id=?"), {memberId.toLongLong()});
    fill(QStringLiteral("5"), QString(), QStringLiteral("0.25"), QStringLiteral("a,b=c'd"));
    panel->adjustMemberPoints();
    EXPECT_EQ(memberField(QStringLiteral("积分")), QStringLiteral("305"));
    EXPECT_EQ(memberField(QStringLiteral("会员储值")), QStringLiteral("20.25"));
    data::RecordSet rs(context.connection());
    ASSERT_TRUE(rs.open(data::Sql("SELECT 备注 FROM [调整积分]")));
    EXPECT_EQ(rs.text(0), QStringLiteral("a,b=c'd"));
}

TEST_F(MemberAdjustPanelTest, HistoriesFollowMemberSharing)
{
    addAdjustment(QStringLiteral("8001"), QStringLiteral("A"), QStringLiteral("a1"));
    addAdjustment(QStringLiteral("9001"), QStringLiteral("A"), QStringLiteral("a2"));
    addAdjustment(QStringLiteral("8001"), QStringLiteral("B"), QStringLiteral("b1"));
    addAdjustment(QString(), QStringLiteral("A"), QStringLiteral("nocard"));
    const auto remarks = [this] {
        QStringList out;
        for (int r = 0; r < panel->historyList()->rowCount(); ++r)
            out << panel->historyList()->cellText(r, 8);
        return out;
    };
    const struct
    {
        QString sharing;
        QStringList member, all;
    } cases[] = {
        {AppContext::FlagOn, {"a1", "b1"}, {"a1", "a2", "b1", "nocard"}},
        {AppContext::FlagOff, {"a1"}, {"a1", "a2", "nocard"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sharing.toStdString());
        context.shopSettings.会员共享 = c.sharing;
        panel->showMember(memberId, QStringLiteral("8001"));
        EXPECT_EQ(remarks(), c.member);
        QTest::mouseClick(button("按钮17"), Qt::LeftButton);
        EXPECT_EQ(remarks(), c.all);
        EXPECT_EQ(button("按钮17")->text(), QStringLiteral("显示所有调整记录"));
    }
    // No member selected: the list empties and lists nothing, not the adjustments without a card.
    panel->showMember(QString(), QString());
    EXPECT_EQ(panel->historyList()->rowCount(), 0);
}

TEST_F(MemberAdjustPanelTest, HistoryListHasTheNineColumns)
{
    ReportList *list = panel->historyList();
    EXPECT_EQ(list->objectName(), QStringLiteral("超级列表框4"));
    QStringList titles;
    for (int c = 0; c < list->columnCount(); ++c)
        titles << list->columnTitle(c) + u':' + QString::number(list->columnWidth(c));
    EXPECT_EQ(titles, (QStringList{"ID:40", "调整日期:130", "增加积分:130", "减少积分:130", "增加预存款(元):120", "操作员:90",
                                   "门    店:130", "会员卡号:100", "备    注:230"}));
}

// Each guard warns once when its field is entered while the other one holds text; the focus
// coming back as the warning closes warns no more.
TEST_F(MemberAdjustPanelTest, FocusGuardsWarnOncePerEntry)
{
    const struct
    {
        const char *entered;
        const char *other;
        QString message;
    } cases[] = {{"增加积分4", "减少积分4", "减少积分已经填写内容"}, {"减少积分4", "增加积分4", "增加积分已经填写内容"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.entered);
        messages.clear();
        fill(QString(), QString(), QString());
        QFocusEvent tab(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(edit(c.entered), &tab);
        EXPECT_TRUE(messages.texts().isEmpty());

        edit(c.other)->setText(QStringLiteral("5"));
        QApplication::sendEvent(edit(c.entered), &tab);
        EXPECT_EQ(messages.texts(), QStringList{c.message});
        QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(edit(c.entered), &back);
        EXPECT_EQ(messages.texts().size(), 1);
    }
}

// Two workstations adjusting the same member at once on the server lose no point and no cent.
TEST(MemberAdjustPostgresTest, TwoWorkstationsAdjustingAtOnceLoseNothing)
{
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
    testsupport::TestDatabase database(data::Backend::Postgres);
    ASSERT_TRUE(database.ok()) << database.error().toStdString();
    data::Connection &setup = database.connection();
    ASSERT_TRUE(setup.execute(data::Sql("INSERT INTO \"会员管理\" (会员卡号, 积分, 会员储值, 所属店铺) VALUES ('8001','100','50.5','A')")));
    data::RecordSet rs(setup);
    ASSERT_TRUE(rs.open(data::Sql("SELECT id FROM \"会员管理\"")));
    const QString id = rs.text(0);

    constexpr int kRounds = 25;
    std::atomic<int> failures{0};
    const auto workstation = [&](const QString &account) {
        AppContext context;
        if (!database.openAnother(context.connection())) {
            ++failures;
            return;
        }
        context.runMode = AppContext::NetworkMode;
        context.currentShop = QStringLiteral("A");
        context.currentAccount = account;
        context.currentUserName = account;
        context.accountRights.积分调整 = AppContext::Granted;
        for (int i = 0; i < kRounds; ++i)
            if (!members::adjustMemberPoints(context, id, {QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("0.1"), QString()}).done)
                ++failures;
        context.connection().close();
    };
    std::thread first(workstation, QStringLiteral("甲"));
    std::thread second(workstation, QStringLiteral("乙"));
    first.join();
    second.join();

    EXPECT_EQ(failures.load(), 0);
    ASSERT_TRUE(rs.open(data::Sql("SELECT 积分, 会员储值 FROM \"会员管理\"")));
    EXPECT_EQ(rs.text(0), QStringLiteral("200"));  // 100 + 2 × 25 × (3 − 1)
    EXPECT_EQ(rs.text(1), QStringLiteral("55.5")); // 50.5 + 2 × 25 × 0.1
    ASSERT_TRUE(rs.open(data::Sql("SELECT COUNT(*) FROM \"调整积分\"")));
    EXPECT_EQ(rs.text(0), QStringLiteral("50"));
    ASSERT_TRUE(rs.open(data::Sql("SELECT COUNT(*) FROM \"日志记录\" WHERE 操作内容 LIKE '会员管理--积分调整!%'")));
    EXPECT_EQ(rs.text(0), QStringLiteral("50"));
    Clock::reset();
}
