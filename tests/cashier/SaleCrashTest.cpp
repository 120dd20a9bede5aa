// A workstation that dies in the middle of a sale never leaves part of it behind. The test program
// starts itself again as a child that confirms three-line sales in a loop on a SQLite file, kills
// it with SIGKILL at a random moment, and then checks the file: every receipt has its three lines,
// and the stock, sold counts and ranking counts are exactly what the stored lines say. The child
// reports once its first sale has committed, so every run writes at least one sale and then dies
// at an arbitrary point of a later one.
#include "CounterFixture.h"
#include "KilledChild.h"

#include "cashier/Cart.h"
#include "cashier/ItemLookup.h"
#include "cashier/SaleWriter.h"
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

// Set in the child's environment: the database file and the first second of its clock.
const char *const kChildDatabase = "SHOPDESK_SALE_CRASH_DATABASE";
const char *const kChildFirstSecond = "SHOPDESK_SALE_CRASH_FIRST_SECOND";
const QByteArray kReadyToken = "sale-crash-child: first sale written";

const QDateTime kBaseTime(QDate(2015, 3, 1), QTime(0, 0, 0));
constexpr int kRuns = 50;
// Seconds of clock per child: each sale takes the next second, so receipt numbers never repeat.
constexpr int kSecondsPerRun = 10000;
const QString kInitialStock = QStringLiteral("100000");
// Quantities of the three lines of every sale.
const QStringList kQuantities = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1")};

[[noreturn]] void childFails(const QString &why)
{
    std::fprintf(stderr, "sale-crash-child: %s\n", qPrintable(why));
    std::fflush(stderr);
    std::_Exit(3);
}

// The child: sells the shop's three stock rows (quantities 1, 2, 1) sale after sale until it is
// killed. It never returns.
[[noreturn]] void runChild()
{
    const QString path = qEnvironmentVariable(kChildDatabase);
    const int firstSecond = qEnvironmentVariableIntValue(kChildFirstSecond);
    MessageScript script;
    AppContext context;
    if (!context.connection().openSqlite(path))
        childFails(QStringLiteral("cannot open ") + path + QStringLiteral(": ") + context.connection().lastError());
    context.currentShop = kShop;
    context.currentUserName = QStringLiteral("张三");
    context.runMode = AppContext::SingleMachineMode;
    context.shopSettings.销售 = QStringLiteral("2");
    context.discountScheme.商品折扣 = QStringLiteral("真");

    data::RecordSet rows(context.connection());
    if (!rows.open(data::buildSelectSql(context.connection().dialect(), QStringLiteral("采购入库"),
                                        data::eq(QStringLiteral("所属店铺"), kShop), true, QStringLiteral("id ASC"), true))
        || rows.rowCount() != kQuantities.size())
        childFails(QStringLiteral("the shop's three stock rows are missing"));
    QList<CartLine> lines;
    double total = 0;
    for (rows.moveFirst(); !rows.pastLast(); rows.moveNext()) {
        CartLine line = lineFromItem(FoundItem::fromRecord(rows), context);
        line.数量 = kQuantities.at(lines.size());
        line.金额 = numberToText(textToNumber(line.金额) * textToNumber(line.数量));
        total += textToNumber(line.金额);
        lines.append(line);
    }

    Cart cart;
    for (int i = 0; i < kSecondsPerRun; ++i) {
        Clock::setFixed(kBaseTime.addSecs(firstSecond + i));
        for (const CartLine &line : lines)
            cart.append(line);
        SaleRequest request;
        request.payable = request.received = numberToText(total);
        const SaleResult result = confirmCheckout(context, cart, request, SaleHooks{});
        if (!result.written())
            childFails(QStringLiteral("sale not written: ") + result.message + u' ' + script.texts().join(u'|'));
        if (i == 0) {
            std::printf("\n%s\n", kReadyToken.constData());
            std::fflush(stdout);
        }
    }
    childFails(QStringLiteral("was never killed"));
}

// What a check of the database file found wrong (empty: nothing).
QStringList problemsIn(Counter &c, int *receipts)
{
    QStringList problems;
    data::RecordSet check(c.conn());
    if (!check.open(data::Sql("PRAGMA integrity_check")) || check.text(check.columns().value(0)) != QStringLiteral("ok"))
        problems << QStringLiteral("integrity check failed: ") + c.conn().lastError();

    QMap<QString, int> linesOfReceipt;
    QMap<QString, qint64> soldOfBarcode;                 // 商品条码 -> units in 销售明细
    QMap<QPair<QString, QString>, qint64> soldOfStyle;   // (款号, month) -> units in 销售明细
    for (const auto &row : c.rows(QStringLiteral("销售明细"))) {
        ++linesOfReceipt[row[QStringLiteral("小票单号")]];
        const qint64 q = textToInteger(row[QStringLiteral("数量")]);
        soldOfBarcode[row[QStringLiteral("商品条码")]] += q;
        soldOfStyle[{row[QStringLiteral("款号")], row[QStringLiteral("销售日期")].left(8)}] += q;
    }
    *receipts = int(linesOfReceipt.size());
    for (auto it = linesOfReceipt.cbegin(); it != linesOfReceipt.cend(); ++it)
        if (it.value() != kQuantities.size())
            problems << QStringLiteral("receipt %1 has %2 lines").arg(it.key()).arg(it.value());

    for (const auto &row : c.rows(QStringLiteral("采购入库"))) {
        const qint64 sold = soldOfBarcode.value(row[QStringLiteral("商品条码")]);
        const QString stock = QString::number(textToInteger(kInitialStock) - sold);
        if (row[QStringLiteral("数量")] != stock || row[QStringLiteral("已售")] != QString::number(sold))
            problems << QStringLiteral("stock row %1: 数量 %2 已售 %3, lines sold %4")
                            .arg(row[QStringLiteral("商品条码")], row[QStringLiteral("数量")], row[QStringLiteral("已售")])
                            .arg(sold);
    }

    QMap<QPair<QString, QString>, qint64> ranked;
    for (const auto &row : c.rows(QStringLiteral("销量排行"))) {
        const QPair<QString, QString> key{row[QStringLiteral("款号")], row[QStringLiteral("当月时间")]};
        if (ranked.contains(key))
            problems << QStringLiteral("two ranking rows for %1 %2").arg(key.first, key.second);
        ranked[key] += textToInteger(row[QStringLiteral("已售数量")]);
    }
    QMap<QPair<QString, QString>, qint64> keys = ranked;
    keys.insert(soldOfStyle);
    for (auto it = keys.cbegin(); it != keys.cend(); ++it)
        if (ranked.value(it.key(), -1) != soldOfStyle.value(it.key(), -1))
            problems << QStringLiteral("ranking of %1 %2: %3, lines sold %4")
                            .arg(it.key().first, it.key().second)
                            .arg(ranked.value(it.key(), -1))
                            .arg(soldOfStyle.value(it.key(), -1));
    return problems;
}

TEST(SaleCrash, AKilledWorkstationNeverLeavesPartOfASale)
{
    if (qEnvironmentVariableIsSet(kChildDatabase))
        runChild();

    {
        Counter c(data::Backend::Sqlite);
        ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
        // Two sizes of one style and a second style: two ranking rows per month.
        const QStringList styles = {QStringLiteral("1001"), QStringLiteral("1001"), QStringLiteral("2002")};
        for (int i = 0; i < styles.size(); ++i)
            c.addStock({{QStringLiteral("商品条码"), QStringLiteral("690000000000") + QString::number(i + 1)},
                        {QStringLiteral("款号"), styles.at(i)},
                        {QStringLiteral("尺码"), QStringList{"S", "M", "L"}.at(i)},
                        {QStringLiteral("数量"), kInitialStock},
                        {QStringLiteral("已售"), QStringLiteral("0")}});
        c.conn().close();

        std::mt19937 random(20150311); // the same delays on every run of the test
        std::uniform_int_distribution<int> delayMs(0, 20);
        int receipts = 0;
        for (int run = 0; run < kRuns; ++run) {
            QProcessEnvironment environment;
            environment.insert(QString::fromLatin1(kChildDatabase), c.db.sqlitePath());
            environment.insert(QString::fromLatin1(kChildFirstSecond), QString::number(run * kSecondsPerRun));
            const QString failure = runAndKillChild(QStringLiteral("SaleCrash.AKilledWorkstationNeverLeavesPartOfASale"),
                                                    environment, kReadyToken, delayMs(random));
            ASSERT_TRUE(failure.isEmpty()) << "run " << run << ": " << failure.toStdString();

            ASSERT_TRUE(c.db.openAnother(c.conn()));
            const QStringList problems = problemsIn(c, &receipts);
            c.conn().close();
            ASSERT_TRUE(problems.isEmpty()) << "after run " << run << ":\n" << problems.join(u'\n').toStdString();
        }
        // Each child committed at least its first sale before it was killed.
        EXPECT_GE(receipts, kRuns);
        RecordProperty("receipts", receipts);
    }
}

} // namespace
