// The counter on a stock table of 1,000,000 rows over 10 shops, on SQLite and on PostgreSQL:
//   Cashier/<backend>/scan/barcode           from the scan box's text to the priced line in the cart
//   Cashier/<backend>/scan/<style|pinyin>    (lookup, pricing, append): a barcode; a style number of
//                                            seven characters, a pinyin code of five
//   Cashier/<backend>/scan/<style3|pinyin3>  contains-search keys of three characters
//   Cashier/<backend>/scan/<style2|pinyin2>  keys of two characters (on SQLite these scan the shop's
//                                            index entries; three or more start from the trigram index)
//   Cashier/<backend>/sale10                 confirming a sale of 10 lines (one transaction: stock,
//                                            10 sales rows, ranking, commit)
// PostgreSQL runs when SHOPDESK_PG_HOST and SHOPDESK_PG_PORT name a server (user postgres) that
// keeps its default durability (tools/pg-throwaway.sh start-durable DIR).
// The databases are made on first use; run in a Release build with --benchmark_filter=Cashier.
#include "cashier/Cart.h"
#include "cashier/CartScanning.h"
#include "cashier/SaleWriter.h"
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "platform/Clock.h"
#include "platform/MessageScript.h"
#include "support/BenchDatabase.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using namespace cashier;

namespace {

constexpr int totalRows = 1000000;
const QString shop = QStringLiteral("店3");

// Row g (1..totalRows): shop 店(g % 10), style number 1000000 + g, pinyin code five letters of g
// in base 26, barcode "69" + g in 11 digits, stock 1 + g % 7.
QString fillSql(data::Backend backend)
{
    if (backend == data::Backend::Sqlite)
        return QStringLiteral(
            "INSERT INTO 采购入库 (商品条码,款号,名称,拼音检索,数量,已售,吊牌价,折扣,进货价,所属店铺,类别,颜色,尺码,单位,"
            "供货来源,入库日期,上限,下限,开关,特价) "
            "WITH RECURSIVE n(g) AS (SELECT 1 UNION ALL SELECT g+1 FROM n WHERE g<") + QString::number(totalRows) + QStringLiteral(") "
            "SELECT '69'||printf('%011d',g), CAST(1000000+g AS TEXT), '衬衫', "
            "char(97+g%26)||char(97+(g/26)%26)||char(97+(g/676)%26)||char(97+(g/17576)%26)||char(97+(g/456976)%26), "
            "CAST(1+g%7 AS TEXT), '0', '100', '0.8', '40', '店'||(g%10), '上衣', '白', 'M', '件', '甲厂', '2015-03-01', "
            "'0', '0', '', '' FROM n");
    return QStringLiteral(
               "INSERT INTO 采购入库 (商品条码,款号,名称,拼音检索,数量,已售,吊牌价,折扣,进货价,所属店铺,类别,颜色,尺码,单位,"
               "供货来源,入库日期,上限,下限,开关,特价) "
               "SELECT '69'||lpad(g::text,11,'0'), (1000000+g)::text, '衬衫', "
               "chr(97+g%26)||chr(97+(g/26)%26)||chr(97+(g/676)%26)||chr(97+(g/17576)%26)||chr(97+(g/456976)%26), "
               "(1+g%7)::text, '0', '100', '0.8', '40', '店'||(g%10), '上衣', '白', 'M', '件', '甲厂', '2015-03-01', "
               "'0', '0', '', '' FROM generate_series(1,") + QString::number(totalRows) + QStringLiteral(") AS g");
}

// Rows of the shop that the short keys find, one each: style numbers "#1".."#9" (pinyin codes
// "@x1".."@x9") and "#X1".."#X9" (pinyin codes "@1".."@9"). No generated row holds # or @.
QString shortKeyRowsSql()
{
    QStringList rows;
    for (int i = 1; i <= 9; ++i)
        for (const auto &[style, pinyin] : {std::pair{"#", "@x"}, std::pair{"#X", "@"}})
            rows << QStringLiteral("('', '%1%3', '衬衫', '%2%3', '5', '0', '100', '0.8', '40', '%4', '上衣', '白', 'M', '件', "
                                   "'甲厂', '2015-03-01', '0', '0', '', '')")
                        .arg(QLatin1String(style), QLatin1String(pinyin))
                        .arg(i)
                        .arg(shop);
    return QStringLiteral("INSERT INTO 采购入库 (商品条码,款号,名称,拼音检索,数量,已售,吊牌价,折扣,进货价,所属店铺,类别,颜色,"
                          "尺码,单位,供货来源,入库日期,上限,下限,开关,特价) VALUES ")
           + rows.join(QLatin1Char(','));
}

QString pinyinOf(int g)
{
    QString code;
    int v = g;
    for (int i = 0; i < 5; ++i, v /= 26)
        code += QChar(u'a' + v % 26);
    return code;
}

struct Counter {
    BenchDatabase database;
    AppContext context;
    bool ok = false;
    ~Counter() { context.connection().close(); }
};

// The shop database of a backend with its 1,000,000 stock rows, made once.
std::map<data::Backend, std::unique_ptr<Counter>> counters;

Counter *counterOf(data::Backend backend)
{
    if (counters.empty()) // the databases go while the application still runs
        qAddPostRoutine([] { counters.clear(); });
    auto &slot = counters[backend];
    if (slot)
        return slot->ok ? slot.get() : nullptr;
    slot = std::make_unique<Counter>();
    data::Connection &connection = slot->context.connection();
    if (!slot->database.open(connection, backend, QStringLiteral("shopdesk_cashier_bench"))
        || !BenchDatabase::loadRows(connection, fillSql(backend), totalRows)
        || !connection.execute(data::Sql(shortKeyRowsSql())))
        return nullptr;
    AppContext &context = slot->context;
    context.currentShop = shop;
    context.currentUserName = QStringLiteral("收银");
    context.runMode = backend == data::Backend::Sqlite ? AppContext::SingleMachineMode : AppContext::NetworkMode;
    context.shopSettings.销售 = QStringLiteral("2");
    context.discountScheme.商品折扣 = QStringLiteral("真");
    slot->ok = true;
    return slot.get();
}

enum class Code { Barcode, Style, Pinyin, Style3, Pinyin3, Style2, Pinyin2 };

// The text scanned in round i (rows g of 店3 for the generated codes).
QString typedText(Code code, int g, int i)
{
    const QString digit = QString::number(1 + i % 9);
    switch (code) {
    case Code::Barcode:
        return QStringLiteral("69%1").arg(g, 11, 10, QChar(u'0'));
    case Code::Style:
        return QString::number(1000000 + g);
    case Code::Pinyin:
        return pinyinOf(g);
    case Code::Style3:
        return QStringLiteral("#X") + digit;
    case Code::Pinyin3:
        return QStringLiteral("@x") + digit;
    case Code::Style2:
        return QStringLiteral("#") + digit;
    case Code::Pinyin2:
        return QStringLiteral("@") + digit;
    }
    return QString();
}

void scanToCart(benchmark::State &state, data::Backend backend, Code code)
{
    Counter *counter = counterOf(backend);
    if (!counter) {
        state.SkipWithError("no database");
        return;
    }
    MessageScript script;
    Cart cart;
    int g = 3; // rows of 店3
    int round = 0;
    for (auto _ : state) {
        g = g + 10 > totalRows ? 3 : g + 10;
        const QString typed = typedText(code, g, round++);
        if (scanItemIntoCart(counter->context, cart, typed) < 0) {
            state.SkipWithError(qPrintable(QStringLiteral("no line for ") + typed + u' ' + script.texts().join(u'|')));
            return;
        }
        state.PauseTiming();
        cart.removeAll();
        state.ResumeTiming();
    }
}

void confirmTenLines(benchmark::State &state, data::Backend backend)
{
    Counter *counter = counterOf(backend);
    if (!counter) {
        state.SkipWithError("no database");
        return;
    }
    MessageScript script;
    Cart cart;
    SaleRequest request;
    request.payable = request.received = QStringLiteral("800");
    int sale = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < 10; ++i) {
            const int g = 3 + 10 * ((sale * 10 + i) % 99000);
            CartLine line;
            line.id = QString::number(g);
            line.款号 = QString::number(1000000 + g);
            line.商品名称 = QStringLiteral("衬衫");
            line.数量 = QStringLiteral("1");
            line.吊牌价 = QStringLiteral("100");
            line.折扣 = QStringLiteral("0.8");
            line.金额 = QStringLiteral("80");
            line.结付 = kPayCash;
            cart.append(line);
        }
        ++sale;
        state.ResumeTiming();
        const SaleResult result = confirmCheckout(counter->context, cart, request, SaleHooks{});
        if (!result.written()) {
            state.SkipWithError(qPrintable(result.message));
            return;
        }
    }
}

bool registerAll()
{
    const std::pair<const char *, data::Backend> backends[] = {{"SQLite", data::Backend::Sqlite},
                                                               {"PostgreSQL", data::Backend::Postgres}};
    const std::pair<const char *, Code> codes[] = {{"barcode", Code::Barcode}, {"style", Code::Style},
                                                   {"pinyin", Code::Pinyin},   {"style3", Code::Style3},
                                                   {"pinyin3", Code::Pinyin3}, {"style2", Code::Style2},
                                                   {"pinyin2", Code::Pinyin2}};
    for (const auto &[label, backend] : backends) {
        if (backend == data::Backend::Postgres && !BenchDatabase::postgresConfigured())
            continue;
        for (const auto &[name, code] : codes)
            benchmark::RegisterBenchmark((std::string("Cashier/") + label + "/scan/" + name).c_str(), scanToCart, backend, code)
                ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("Cashier/") + label + "/sale10").c_str(), confirmTenLines, backend)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}

const bool registered = registerAll();

} // namespace
