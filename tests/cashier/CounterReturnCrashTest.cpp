// A workstation that dies in the middle of a return never leaves part of it behind. The test
// program starts itself again as a child that returns units of one sold line in a loop (undamaged,
// to a member) on a SQLite file, kills it with SIGKILL at a random moment, and then checks the
// file: every return row has its log row, its unit back in stock, its share given back to the
// member and taken off the line, and nothing else.
#include "CounterFixture.h"
#include "KilledChild.h"

#include "cashier/Cart.h"
#include "cashier/CounterReturn.h"
#include "platform/MessageScript.h"
#include "platform/NumberText.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <random>

using namespace cashier;
using namespace countertest;

namespace {

const char *const kChildDatabase = "SHOPDESK_RETURN_CRASH_DATABASE";
const QByteArray kReadyToken = "return-crash-child: first return written";
constexpr int kRuns = 30;
constexpr qint64 kUnits = 100000;      // units on the sold line
constexpr qint64 kUnitAmount = 10;     // each unit's amount, of which 2 stored value
constexpr qint64 kStartPoints = 1000000;

[[noreturn]] void childFails(const QString &why)
{
    std::fprintf(stderr, "return-crash-child: %s\n", qPrintable(why));
    std::fflush(stderr);
    std::_Exit(3);
}

// The child: returns one unit of the shop's only sold line after the other until it is killed.
[[noreturn]] void runChild()
{
    const QString path = qEnvironmentVariable(kChildDatabase);
    MessageScript script;
    AppContext context;
    if (!context.connection().openSqlite(path))
        childFails(QStringLiteral("cannot open ") + path);
    context.currentShop = kShop;
    context.currentAccount = QStringLiteral("zs");
    context.runMode = AppContext::SingleMachineMode;
    context.shopSettings.销售 = QStringLiteral("2");
    data::RecordSet line(context.connection());
    if (!line.open(data::Sql("SELECT id FROM 销售明细")) || line.rowCount() != 1)
        childFails(QStringLiteral("the sold line is missing"));
    const qint64 id = line.integer(QStringLiteral("id"));
    for (int i = 0;; ++i) {
        if (applyCounterReturn(context, id, false).status != ReturnStatus::Partial)
            childFails(QStringLiteral("a return was not written"));
        if (i == 0) {
            std::printf("\n%s\n", kReadyToken.constData());
            std::fflush(stdout);
        }
    }
}

QStringList problemsIn(Counter &c, qint64 *returns)
{
    QStringList problems;
    *returns = c.count(QStringLiteral("退货管理"));
    const qint64 r = *returns;
    if (c.count(QStringLiteral("日志记录")) != r)
        problems << QStringLiteral("%1 log rows for %2 returns").arg(c.count(QStringLiteral("日志记录"))).arg(r);
    const auto line = c.rows(QStringLiteral("销售明细")).value(0);
    const auto expect = [&problems](const QString &what, const QString &is, const QString &should) {
        if (is != should)
            problems << what + QStringLiteral(": ") + is + QStringLiteral(", expected ") + should;
    };
    expect(QStringLiteral("line 数量"), line.value(QStringLiteral("数量")), QString::number(kUnits - r));
    expect(QStringLiteral("line 金额"), line.value(QStringLiteral("金额")), QString::number(kUnitAmount * (kUnits - r)));
    expect(QStringLiteral("line 储值"), line.value(QStringLiteral("储值")), QString::number(2 * (kUnits - r)));
    const auto stock = c.rows(QStringLiteral("采购入库")).value(0);
    expect(QStringLiteral("stock 数量"), stock.value(QStringLiteral("数量")), QString::number(r));
    expect(QStringLiteral("stock 已售"), stock.value(QStringLiteral("已售")), QString::number(kUnits - r));
    const auto member = c.rows(QStringLiteral("会员管理")).value(0);
    expect(QStringLiteral("member 积分"), member.value(QStringLiteral("积分")), QString::number(kStartPoints - kUnitAmount * r));
    expect(QStringLiteral("member 会员储值"), member.value(QStringLiteral("会员储值")), QString::number(2 * r));
    return problems;
}

TEST(ReturnCrash, AKilledWorkstationNeverLeavesPartOfAReturn)
{
    if (qEnvironmentVariableIsSet(kChildDatabase))
        runChild();

    Counter c(data::Backend::Sqlite);
    ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
    c.addStock({{QStringLiteral("数量"), QStringLiteral("0")}, {QStringLiteral("已售"), QString::number(kUnits)},
                {QStringLiteral("款号"), QStringLiteral("1001")}});
    c.insert(QStringLiteral("销售明细"),
             {{QStringLiteral("款号"), QStringLiteral("1001")}, {QStringLiteral("颜色"), QStringLiteral("白")},
              {QStringLiteral("尺码"), QStringLiteral("M")}, {QStringLiteral("数量"), QString::number(kUnits)},
              {QStringLiteral("金额"), QString::number(kUnitAmount * kUnits)},
              {QStringLiteral("现金"), QString::number(8 * kUnits)}, {QStringLiteral("储值"), QString::number(2 * kUnits)},
              {QStringLiteral("会员编号"), QStringLiteral("V1")}, {QStringLiteral("结付方式"), kPayOther},
              {QStringLiteral("所属店铺"), kShop}});
    c.insert(QStringLiteral("会员管理"), {{QStringLiteral("会员卡号"), QStringLiteral("V1")},
                                      {QStringLiteral("积分"), QString::number(kStartPoints)},
                                      {QStringLiteral("消费金额"), QString::number(kStartPoints)},
                                      {QStringLiteral("会员储值"), QStringLiteral("0")},
                                      {QStringLiteral("所属店铺"), kShop}});
    c.conn().close();

    std::mt19937 random(20150311);
    std::uniform_int_distribution<int> delayMs(0, 20);
    qint64 returns = 0;
    for (int run = 0; run < kRuns; ++run) {
        QProcessEnvironment environment;
        environment.insert(QString::fromLatin1(kChildDatabase), c.db.sqlitePath());
        const QString failure = runAndKillChild(QStringLiteral("ReturnCrash.AKilledWorkstationNeverLeavesPartOfAReturn"),
                                                environment, kReadyToken, delayMs(random));
        ASSERT_TRUE(failure.isEmpty()) << "run " << run << ": " << failure.toStdString();

        ASSERT_TRUE(c.db.openAnother(c.conn()));
        const QStringList problems = problemsIn(c, &returns);
        c.conn().close();
        ASSERT_TRUE(problems.isEmpty()) << "after run " << run << ":\n" << problems.join(u'\n').toStdString();
    }
    EXPECT_GE(returns, kRuns);
    RecordProperty("returns", int(returns));
}

} // namespace
