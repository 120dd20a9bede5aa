// A member card typed into the checkout, on SQLite and on PostgreSQL:
//   MemberCard/<backend>/type13   the 13 characters of a member's card typed one key at a time into
//                                 会员卡号x of the checkout window over a cart of 50 lines, shown on
//                                 the counter page's list: a member lookup per key, the no-member
//                                 path for every prefix, and the member prices (discount on
//                                 discount) once the whole card is found
// The shop database holds 100,000 stock rows and 200,000 members over 10 shops.
// PostgreSQL runs when SHOPDESK_PG_HOST and SHOPDESK_PG_PORT name a server (user postgres) that
// keeps its default durability (tools/pg-throwaway.sh start-durable DIR).
// The databases are made on first use; run in a Release build with --benchmark_filter=MemberCard.
#include "cashier/Cart.h"
#include "cashier/CashierPage.h"
#include "cashier/CheckoutWindow.h"
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "platform/MessageScript.h"
#include "support/BenchDatabase.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using namespace cashier;

namespace {

constexpr int stockRows = 100000;
constexpr int memberRows = 200000;
constexpr int cartLines = 50;
const QString shop = QStringLiteral("店3");

// Stock row g: shop 店(g % 10), tag price 100 + g % 50, the item's factor 0.8.
QString stockSql(data::Backend backend)
{
    if (backend == data::Backend::Sqlite)
        return QStringLiteral(
                   "INSERT INTO 采购入库 (商品条码,款号,名称,拼音检索,数量,已售,吊牌价,折扣,进货价,所属店铺,类别,颜色,尺码,单位,"
                   "供货来源,入库日期,上限,下限,开关,特价) "
                   "WITH RECURSIVE n(g) AS (SELECT 1 UNION ALL SELECT g+1 FROM n WHERE g<")
               + QString::number(stockRows)
               + QStringLiteral(") SELECT '69'||printf('%011d',g), CAST(1000000+g AS TEXT), '衬衫', 'cs', '5', '0', "
                                "CAST(100+g%50 AS TEXT), '0.8', '40', '店'||(g%10), '上衣', '白', 'M', '件', '甲厂', "
                                "'2015-03-01', '0', '0', '', '' FROM n");
    return QStringLiteral(
               "INSERT INTO 采购入库 (商品条码,款号,名称,拼音检索,数量,已售,吊牌价,折扣,进货价,所属店铺,类别,颜色,尺码,单位,"
               "供货来源,入库日期,上限,下限,开关,特价) "
               "SELECT '69'||lpad(g::text,11,'0'), (1000000+g)::text, '衬衫', 'cs', '5', '0', (100+g%50)::text, '0.8', "
               "'40', '店'||(g%10), '上衣', '白', 'M', '件', '甲厂', '2015-03-01', '0', '0', '', '' "
               "FROM generate_series(1,")
           + QString::number(stockRows) + QStringLiteral(") AS g");
}

// Member g: card "88" + g in 11 digits (13 characters, no shorter card is a prefix of it), shop
// 店(g % 10), tier 银卡.
QString memberSql(data::Backend backend)
{
    if (backend == data::Backend::Sqlite)
        return QStringLiteral("INSERT INTO 会员管理 (会员卡号,会员姓名,会员类别,积分,消费金额,会员储值,所属店铺) "
                              "WITH RECURSIVE n(g) AS (SELECT 1 UNION ALL SELECT g+1 FROM n WHERE g<")
               + QString::number(memberRows)
               + QStringLiteral(") SELECT '88'||printf('%011d',g), '会员', '银卡', '120', '800', '50', '店'||(g%10) FROM n");
    return QStringLiteral("INSERT INTO 会员管理 (会员卡号,会员姓名,会员类别,积分,消费金额,会员储值,所属店铺) "
                          "SELECT '88'||lpad(g::text,11,'0'), '会员', '银卡', '120', '800', '50', '店'||(g%10) "
                          "FROM generate_series(1,")
           + QString::number(memberRows) + QStringLiteral(") AS g");
}

QString cardOf(int g)
{
    return QStringLiteral("88%1").arg(g, 11, 10, QChar(u'0'));
}

struct Shop {
    BenchDatabase database;
    AppContext context;
    bool ok = false;
    ~Shop() { context.connection().close(); }
};

std::map<data::Backend, std::unique_ptr<Shop>> shops;

Shop *shopOf(data::Backend backend)
{
    if (shops.empty()) // the databases go while the application still runs
        qAddPostRoutine([] { shops.clear(); });
    auto &slot = shops[backend];
    if (slot)
        return slot->ok ? slot.get() : nullptr;
    slot = std::make_unique<Shop>();
    data::Connection &connection = slot->context.connection();
    if (!slot->database.open(connection, backend, QStringLiteral("shopdesk_member_bench")))
        return nullptr;
    {
        data::Transaction t = connection.transaction();
        if (!connection.execute(data::Sql(memberSql(backend))) || !t.commit()) {
            std::fprintf(stderr, "members: %s\n", qPrintable(connection.lastError()));
            return nullptr;
        }
    }
    if (!BenchDatabase::loadRows(connection, stockSql(backend), stockRows))
        return nullptr;
    AppContext &context = slot->context;
    context.currentShop = shop;
    context.currentUserName = QStringLiteral("收银");
    context.runMode = backend == data::Backend::Sqlite ? AppContext::SingleMachineMode : AppContext::NetworkMode;
    context.shopSettings.销售 = QStringLiteral("2");
    context.shopSettings.积分模式 = AppContext::FlagOff;
    context.shopSettings.升级模式 = AppContext::FlagOn;
    context.shopSettings.折上折 = AppContext::FlagOn;
    context.discountScheme.商品折扣 = AppContext::FlagOn;
    context.memberTiers[0] = {QStringLiteral("0.7"), QStringLiteral("金卡"), QStringLiteral("500")};
    context.memberTiers[1] = {QStringLiteral("0.9"), QStringLiteral("银卡"), QStringLiteral("200")};
    context.memberTiers[2] = {QStringLiteral("0.95"), QStringLiteral("普通"), QStringLiteral("0")};
    context.accountRights.前台收银 = AppContext::Granted;
    slot->ok = true;
    return slot.get();
}

// One key as the keyboard gives it to the focused edit.
void typeKey(QLineEdit *edit, QChar c)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + (c.unicode() - u'0'), Qt::NoModifier, QString(c));
    QApplication::sendEvent(edit, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_0 + (c.unicode() - u'0'), Qt::NoModifier, QString(c));
    QApplication::sendEvent(edit, &release);
}

void typeCard(benchmark::State &state, data::Backend backend)
{
    Shop *s = shopOf(backend);
    if (!s) {
        state.SkipWithError("no database");
        return;
    }
    MessageScript script;
    Cart cart;
    CashierPage page(s->context, cart); // the counter's list follows every change of the cart
    for (int i = 0; i < cartLines; ++i) {
        const int g = 3 + 10 * i; // rows of 店3
        CartLine line;
        line.id = QString::number(g);
        line.款号 = QString::number(1000000 + g);
        line.商品名称 = QStringLiteral("衬衫");
        line.数量 = QStringLiteral("1");
        line.吊牌价 = QString::number(100 + g % 50);
        line.折扣 = QStringLiteral("0.8");
        line.金额 = QString::number((100 + g % 50) * 0.8);
        line.结付 = kPayCash;
        cart.append(line);
    }
    computeCartTotals(cart);
    CheckoutWindow window(s->context, cart, CheckoutHooks{});
    QLineEdit *card = window.field(CheckoutField::会员卡号x);
    int member = 3; // members of 店3
    for (auto _ : state) {
        state.PauseTiming();
        card->clear();
        member = member + 10 > memberRows ? 3 : member + 10;
        const QString typed = cardOf(member);
        state.ResumeTiming();
        for (QChar c : typed)
            typeKey(card, c);
        if (window.state().text(CheckoutField::会员类别x) != QStringLiteral("银卡")) {
            state.SkipWithError(qPrintable(QStringLiteral("member not found: ") + typed + u' '
                                           + script.texts().join(u'|')));
            break;
        }
    }
    state.counters["keys"] = benchmark::Counter(double(state.iterations()) * 13);
    state.counters["per_key_us"] = benchmark::Counter(double(state.iterations()) * 13,
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["stock_reads"] = window.memberPricing().stockReads();
    window.cancelCheckout();
}

bool registerAll()
{
    const std::pair<const char *, data::Backend> backends[] = {{"SQLite", data::Backend::Sqlite},
                                                               {"PostgreSQL", data::Backend::Postgres}};
    for (const auto &[label, backend] : backends) {
        if (backend == data::Backend::Postgres && !BenchDatabase::postgresConfigured())
            continue;
        benchmark::RegisterBenchmark((std::string("MemberCard/") + label + "/type13").c_str(), typeCard, backend)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}

const bool registered = registerAll();

} // namespace
