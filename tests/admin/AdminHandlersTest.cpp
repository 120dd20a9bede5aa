// Discount scheme, promotions, notices, accounts, the log page and support messages.
#include <gtest/gtest.h>

#include "platform/Gbk.h"
#include "admin/AccountAdmin.h"
#include "admin/AdminFixture.h"
#include "admin/DiscountAdmin.h"
#include "admin/LogAdmin.h"
#include "admin/NoticeAdmin.h"
#include "admin/PromotionAdmin.h"
#include "admin/SupportMessages.h"
#include "context/OperationLog.h"

using namespace admin;
using admintest::AdminWorkstation;

namespace {

QString schemeQuery(AdminWorkstation &w, const char *shop = "A")
{
    return QStringLiteral("SELECT * FROM %1 WHERE 所属店铺='%2' ORDER BY id").arg(w.table("折扣方案"), QString::fromUtf8(shop));
}

TEST(DiscountFactor, OnlyFactorsBetweenZeroAndOne)
{
    const struct { const char *text; bool ok; } cases[] = {
        {"", true}, {"0.9", true}, {"0.75", true}, {"1", true}, {".5", true},
        {"7", false}, {"abc", false}, {"0.", false}, {"0", false}, {"1.5", false}, {"-0.5", false}, {"0.9x", false}};
    for (const auto &c : cases)
        EXPECT_EQ(discountFactorProblem(QString::fromUtf8(c.text)).isEmpty(), c.ok) << c.text;
    // The uniform mode needs a factor: an empty box is no uniform discount.
    EXPECT_EQ(uniformFactorProblem(QString()), QStringLiteral("请先填写全场统一的折扣，比如：9折 输入0.9，75折 输入0.75"));
    EXPECT_EQ(uniformFactorProblem(QStringLiteral("7")), QStringLiteral("折扣请填写0到1之间的小数，比如：7折 输入0.7，75折 输入0.75"));
    EXPECT_EQ(uniformFactorProblem(QStringLiteral("0.9")), QString());
}

TEST(DiscountScheme, FirstClickMakesTheRowLaterClicksUpdateIt)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    ASSERT_TRUE(toggleFreeDiscount(w.context, false).done);
    EXPECT_EQ(w.column(schemeQuery(w), QStringLiteral("自由优惠")), QStringList{QStringLiteral("假")});
    ASSERT_TRUE(toggleUniformDiscount(w.context, QStringLiteral("0.8")).done);
    ASSERT_TRUE(toggleUniformDiscount(w.context, QStringLiteral("0.8")).done);
    EXPECT_EQ(w.count(schemeQuery(w)), 1);
    EXPECT_EQ(w.column(schemeQuery(w), QStringLiteral("统一折扣")), QStringList{QStringLiteral("0.8")});
    EXPECT_EQ(w.context.discountScheme.统一折扣, QStringLiteral("0.8"));

    ASSERT_TRUE(toggleItemOwnDiscount(w.context).done);
    EXPECT_EQ(w.column(schemeQuery(w), QStringLiteral("商品折扣")), QStringList{QStringLiteral("真")});
    EXPECT_EQ(w.context.discountScheme.统一折扣, QString());

    ASSERT_TRUE(saveStyleNoPrefix(w.context, QString()).done);
    EXPECT_EQ(w.column(schemeQuery(w), QStringLiteral("款号字母")), QStringList{QString()});
    EXPECT_EQ(w.count(schemeQuery(w, "B")), 0);
}

TEST(DiscountScheme, ARefusedFactorNeverReachesThePrices)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    ASSERT_TRUE(toggleUniformDiscount(w.context, QStringLiteral("0.9")).done);
    for (const char *typed : {"7", "abc", "0."}) {
        const AdminResult r = saveUniformDiscount(w.context, QString::fromUtf8(typed), true);
        EXPECT_FALSE(r.done) << typed;
        EXPECT_FALSE(r.message.isEmpty());
        EXPECT_FALSE(toggleUniformDiscount(w.context, QString::fromUtf8(typed)).done);
    }
    EXPECT_EQ(w.context.discountScheme.统一折扣, QStringLiteral("0.9"));
    EXPECT_EQ(w.column(schemeQuery(w), QStringLiteral("统一折扣")), QStringList{QStringLiteral("0.9")});

    ASSERT_TRUE(saveUniformDiscount(w.context, QStringLiteral("0.75"), true).done);
    EXPECT_EQ(w.context.discountScheme.统一折扣, QStringLiteral("0.75"));
    // While the item's own discount is the mode, typing a factor stores nothing.
    ASSERT_TRUE(toggleItemOwnDiscount(w.context).done);
    EXPECT_FALSE(saveUniformDiscount(w.context, QStringLiteral("0.5"), false).done);
    EXPECT_EQ(w.context.discountScheme.统一折扣, QString());
    EXPECT_EQ(w.column(schemeQuery(w), QStringLiteral("统一折扣")), QStringList{QString()});
}

TEST(Promotions, AddedListedAndChangedInPairs)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    ASSERT_TRUE(w.exec(QStringLiteral("INSERT INTO %1 (满, 送, 截止时间, 所属店铺) VALUES ('1', '1', '2015-01-01', 'B')")
                           .arg(w.table("满额促销"))));
    ASSERT_TRUE(addPromotion(w.context, QStringLiteral("300"), QStringLiteral("30"), QDate(2015, 8, 11)).done);
    ASSERT_TRUE(addPromotion(w.context, QStringLiteral("500"), QStringLiteral("0"), QDate(2000, 1, 9)).done);

    QList<PromotionRow> rows = loadPromotions(w.context);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].cells().mid(1), (QStringList{QStringLiteral("300"), QStringLiteral("30"), QStringLiteral("2015-08-11")}));
    EXPECT_EQ(rows[1].endDate, QStringLiteral("2000-01-09"));
    EXPECT_EQ(promotionDate(rows[0].endDate), QDate(2015, 8, 11));

    for (const auto &bad : {std::pair{"", "30"}, std::pair{"300", ""}, std::pair{"0", "1"}, std::pair{"abc", "1"},
                            std::pair{"300", "-5"}, std::pair{"1.5", "1"}}) {
        const AdminResult r = addPromotion(w.context, QString::fromUtf8(bad.first), QString::fromUtf8(bad.second),
                                           QDate(2015, 12, 1));
        EXPECT_EQ(r.message, QStringLiteral("满和减请填写整数，满必须大于0！")) << bad.first << "/" << bad.second;
    }
    EXPECT_EQ(updatePromotion(w.context, 0, QStringLiteral("1"), QStringLiteral("1"), QDate(2015, 1, 1)).message,
              QStringLiteral("请先在列表中选择要修改的促销！"));

    const qint64 id = rows[1].id;
    ASSERT_TRUE(updatePromotion(w.context, id, QStringLiteral("800"), QStringLiteral("80"), QDate(2015, 12, 1)).done);
    rows = loadPromotions(w.context);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].id, id);
    EXPECT_EQ(rows[1].cells().mid(1), (QStringList{QStringLiteral("800"), QStringLiteral("80"), QStringLiteral("2015-12-01")}));
    EXPECT_EQ(promotionDate(QStringLiteral("2015-13-40")), QDate());
    EXPECT_EQ(promotionDate(QStringLiteral("soon")), QDate());

    w.context.currentShop.clear();
    EXPECT_EQ(addPromotion(w.context, QStringLiteral("1"), QStringLiteral("1"), QDate(2015, 1, 1)).message,
              QStringLiteral("请在上面先指定本机当前使用哪个店铺"));
}

TEST(Notice, LengthInGbkBytesFirstSaveInsertsLaterSavesUpdate)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    const QString han = QStringLiteral("公");
    EXPECT_EQ(saveNotice(w.context, han.repeated(450) + u'x').message, QStringLiteral("不能超过900个字符或者450个汉字！"));
    EXPECT_EQ(w.count(QStringLiteral("SELECT * FROM %1").arg(w.table("通告管理"))), 0);
    EXPECT_EQ(saveNotice(w.context, QStringLiteral("   ")).done, false);

    AdminResult r = saveNotice(w.context, han.repeated(449) + QStringLiteral("ab"));
    EXPECT_TRUE(r.done);
    EXPECT_EQ(r.message, QStringLiteral("公告修改成功！"));
    const QString awkward = QStringLiteral("今日 'O'Brien', a=b");
    ASSERT_TRUE(saveNotice(w.context, awkward).done);
    ASSERT_TRUE(saveNotice(w.context, han.repeated(450)).done);
    ASSERT_TRUE(saveNotice(w.context, awkward).done);
    EXPECT_EQ(w.count(QStringLiteral("SELECT * FROM %1").arg(w.table("通告管理"))), 1);
    bool found = false;
    EXPECT_EQ(loadNotice(w.context, QStringLiteral("A"), &found), awkward);
    EXPECT_TRUE(found);
    loadNotice(w.context, QStringLiteral("B"), &found);
    EXPECT_FALSE(found);
}

AccountForm formOf(const char *account, const char *password, const char *name, const char *shop, int rights = 0)
{
    AccountForm f{QString::fromUtf8(account), QString::fromUtf8(password), QString::fromUtf8(name), QString(),
                  QString::fromUtf8(shop), {}};
    for (int i = 0; i < 20; ++i)
        f.rights << (i < rights);
    return f;
}

QString accountsQuery(AdminWorkstation &w)
{
    return QStringLiteral("SELECT * FROM %1 ORDER BY id").arg(w.table("帐号管理"));
}

TEST(Accounts, AddRules)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    EXPECT_TRUE(addAccount(w.context, formOf("li", "1", "李", "B", 3)).done);
    EXPECT_EQ(addAccount(w.context, formOf("li", "2", "李二", "A")).message, QStringLiteral("该帐号已经存在！"));
    EXPECT_EQ(addAccount(w.context, formOf("zh", "", "张", "A")).message, QStringLiteral("请全部填写 不要留空！"));
    EXPECT_EQ(addAccount(w.context, formOf("admin", "1", "x", "A")).message, QStringLiteral("该帐号已经存在！"));
    w.context.currentShop = QStringLiteral("B");
    AdminResult r = addAccount(w.context, formOf("li", "O'1,=", "李", "A"));
    EXPECT_EQ(r.message, QStringLiteral("新帐号添加成功！"));
    EXPECT_EQ(w.column(accountsQuery(w), QStringLiteral("所属店铺")),
              (QStringList{QString(), QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(w.column(accountsQuery(w), QStringLiteral("密码")).value(2), QStringLiteral("O'1,="));
    EXPECT_EQ(w.column(accountsQuery(w), QStringLiteral("销售明细")).value(1), QStringLiteral("√"));
    EXPECT_EQ(w.column(accountsQuery(w), QStringLiteral("销售简表")).value(1), QString());
    w.context.currentShop.clear();
    EXPECT_EQ(addAccount(w.context, formOf("x", "1", "x", "A")).message,
              QStringLiteral("请先到店铺设置里指定本机使用哪个店铺！"));
}

TEST(Accounts, AdministratorRules)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    const qint64 adminId = w.column(accountsQuery(w), QStringLiteral("id")).value(0).toLongLong();
    ASSERT_GT(adminId, 0);
    const QStringList before = w.column(accountsQuery(w), QStringLiteral("姓名")) + w.column(accountsQuery(w), QStringLiteral("系统设置"));

    EXPECT_EQ(updateAccount(w.context, adminId, formOf("root", "1", "x", "A")).message,
              QStringLiteral("管理员帐号名不允许修改！并且只能修改密码！"));
    ASSERT_TRUE(updateAccount(w.context, adminId, formOf("admin", "new", "改名", "B", 0)).done);
    EXPECT_EQ(w.column(accountsQuery(w), QStringLiteral("密码")), QStringList{QStringLiteral("new")});
    EXPECT_EQ(w.column(accountsQuery(w), QStringLiteral("姓名")) + w.column(accountsQuery(w), QStringLiteral("系统设置")), before);
    EXPECT_EQ(w.column(accountsQuery(w), QStringLiteral("所属店铺")), QStringList{QString()});

    EXPECT_EQ(deleteAccount(w.context, adminId).message, QStringLiteral("管理员帐号不允许删除！"));
    EXPECT_EQ(w.count(accountsQuery(w)), 1);

    // No second "admin" by renaming.
    ASSERT_TRUE(addAccount(w.context, formOf("li", "1", "李", "A")).done);
    const qint64 liId = w.column(accountsQuery(w), QStringLiteral("id")).value(1).toLongLong();
    EXPECT_EQ(updateAccount(w.context, liId, formOf("admin", "1", "李", "A")).message, QStringLiteral("该帐号已经存在！"));
    EXPECT_EQ(w.column(accountsQuery(w), QStringLiteral("帐号")), (QStringList{QStringLiteral("admin"), QStringLiteral("li")}));

    // The other account moves shop and changes rights.
    ASSERT_TRUE(updateAccount(w.context, liId, formOf("li", "2", "李四", "B", 20)).done);
    EXPECT_EQ(w.column(accountsQuery(w), QStringLiteral("所属店铺")).value(1), QStringLiteral("B"));
    EXPECT_EQ(w.column(accountsQuery(w), QStringLiteral("系统设置")).value(1), QStringLiteral("√"));

    EXPECT_EQ(updateAccount(w.context, 0, formOf("li", "2", "李四", "B")).message, QStringLiteral("请先在列表中选择要修改的帐号！"));
    EXPECT_EQ(deleteAccount(w.context, 0).message, QStringLiteral("请先在列表中选择要删除的帐号！"));
    EXPECT_EQ(deleteAccount(w.context, liId).message, QStringLiteral("删除成功！"));
    EXPECT_FALSE(deleteAccount(w.context, liId).done);
    EXPECT_EQ(w.count(accountsQuery(w)), 1);
}

TEST(Accounts, UpdateRefusesANameTheTargetShopAlreadyHas)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    ASSERT_TRUE(addAccount(w.context, formOf("wang", "1", "王", "A")).done);
    ASSERT_TRUE(addAccount(w.context, formOf("li", "1", "李", "A")).done);
    w.context.currentShop = QStringLiteral("B");
    ASSERT_TRUE(addAccount(w.context, formOf("zhao", "1", "赵", "B")).done);
    const QStringList ids = w.column(accountsQuery(w), QStringLiteral("id"));
    const qint64 liId = ids.value(2).toLongLong();
    const qint64 zhaoId = ids.value(3).toLongLong();

    EXPECT_EQ(updateAccount(w.context, liId, formOf("wang", "1", "李", "A")).message, QStringLiteral("该帐号已经存在！"));
    // Moving into a shop that has the name is refused too; keeping one's own name is not a duplicate.
    EXPECT_EQ(updateAccount(w.context, zhaoId, formOf("li", "1", "赵", "A")).message, QStringLiteral("该帐号已经存在！"));
    EXPECT_TRUE(updateAccount(w.context, liId, formOf("li", "2", "李", "A")).done);
    EXPECT_TRUE(updateAccount(w.context, zhaoId, formOf("wang", "1", "赵", "B")).done);
    EXPECT_EQ(w.column(accountsQuery(w), QStringLiteral("帐号")),
              (QStringList{QStringLiteral("admin"), QStringLiteral("wang"), QStringLiteral("li"), QStringLiteral("wang")}));
    EXPECT_EQ(w.column(accountsQuery(w), QStringLiteral("所属店铺")).value(3), QStringLiteral("B"));
}

TEST(Accounts, OnlyTheLoginAdminSeesAllShops)
{
    AppContext context;
    for (const char *login : {"Admin", "boss", ""}) {
        context.currentAccount = QString::fromUtf8(login);
        EXPECT_EQ(mayShowAllAccounts(context).message, QStringLiteral("当前登陆帐号不是管理员帐号无权操作！"));
    }
    context.currentAccount = QStringLiteral("admin");
    EXPECT_TRUE(mayShowAllAccounts(context).done);
}

TEST(LogPageRows, MonthOfThisShopOldestFirstAndDeleteKeepsOtherShops)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    const struct { const char *time; const char *shop; } rows[] = {
        {"2015-03-01 9:5", "A"}, {"2015-02-28 23:1", "A"}, {"2015-03-31 23:59", "A"}, {"2014-03-15 8:0", "A"},
        {"2015-03-10 10:10", "B"}};
    for (const auto &r : rows)
        ASSERT_TRUE(w.conn().execute(oplog::logRowSql(w.conn().dialect(), QString::fromUtf8(r.shop), QStringLiteral("u"),
                                                     QStringLiteral("x"), QString::fromUtf8(r.time))));
    w.context.today = DateParts{QStringLiteral("2015"), QStringLiteral("03"), QStringLiteral("11"), {}, {}};
    const QList<QStringList> month = logsOfMonth(w.context);
    ASSERT_EQ(month.size(), 2);
    EXPECT_EQ(month[0][4], QStringLiteral("2015-03-01 9:5"));
    EXPECT_EQ(month[1][4], QStringLiteral("2015-03-31 23:59"));
    EXPECT_EQ(allLogs(w.context).size(), 4);
    ASSERT_TRUE(deleteAllLogs(w.context));
    EXPECT_TRUE(allLogs(w.context).isEmpty());
    w.context.currentShop = QStringLiteral("B");
    EXPECT_EQ(allLogs(w.context).size(), 1);
}

TEST(SupportMessageLength, CountedInGbkBytes)
{
    const QString han = QStringLiteral("问");
    EXPECT_EQ(supportMessageProblem(han.repeated(9) + u'a'), QStringLiteral("少于10个汉字不能提交！"));
    EXPECT_EQ(supportMessageProblem(han.repeated(10)), QString());
    EXPECT_EQ(supportMessageProblem(han.repeated(450)), QString());
    EXPECT_EQ(supportMessageProblem(han.repeated(450) + u'a'), QStringLiteral("不能超过450个汉字！"));
    // Without a support server nothing is sent, and the caller is told.
    const AdminResult r = submitFeedback(nullptr, QStringLiteral("ws"), han.repeated(10), QStringLiteral("2015-03-11"));
    EXPECT_FALSE(r.done);
    EXPECT_FALSE(r.message.isEmpty());
}

} // namespace
