// A workstation in network mode whose server went away and came back: the sale it tries is written
// once, on a connection opened again, and a sale tried while the server is down writes nothing,
// keeps the cart and says in Chinese why. The server is a private one, so it can be stopped.
#include "CounterFixture.h"

#include "cashier/Cart.h"
#include "cashier/SaleWriter.h"
#include "platform/MessageScript.h"
#include "support/PrivateServer.h"

#include <memory>

using namespace cashier;
using namespace countertest;

namespace {

enum class Outage { SessionEnded, Restart, SaleDuringRestart };

struct OutageCase {
    const char *name;
    Outage outage;
    int attemptsAllowed; // the sale after the outage may fail once where the loss shows only then
};
void PrintTo(const OutageCase &c, std::ostream *os)
{
    *os << c.name;
}

class SaleAfterLostConnection : public ::testing::TestWithParam<OutageCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.ok()) << server.error().toStdString();
        counter = std::make_unique<Counter>(data::Backend::Postgres);
        ASSERT_TRUE(counter->ok()) << counter->db.error().toStdString();
        counter->context.receiptPrintFlag = QStringLiteral("假");
        stock = counter->addStock({{QStringLiteral("数量"), QStringLiteral("5")}});
        data::RecordSet rs(counter->conn());
        ASSERT_TRUE(rs.open(data::Sql("SELECT pg_backend_pid()")));
        pid = rs.integer(0);
    }
    void TearDown() override { counter.reset(); }

    void fillCart()
    {
        CartLine line;
        line.id = QString::number(stock);
        line.分类 = QStringLiteral("上衣");
        line.款号 = QStringLiteral("1001");
        line.商品名称 = QStringLiteral("衬衫");
        line.颜色 = QStringLiteral("白");
        line.尺码 = QStringLiteral("M");
        line.数量 = QStringLiteral("1");
        line.单位 = QStringLiteral("件");
        line.吊牌价 = QStringLiteral("100");
        line.折扣 = QStringLiteral("0.8");
        line.金额 = QStringLiteral("80");
        line.结付 = kPayCash;
        cart.append(line);
    }
    SaleResult sell()
    {
        return writeSale(counter->context, cart, SplitPayment{}, SaleMember{}, QStringLiteral("80"), SaleHooks{});
    }
    // The server ends the workstation's session; waits until it is gone from the server.
    void endSession()
    {
        ASSERT_TRUE(testsupport::TestDatabase::endSession(counter->db.connection(), pid));
    }

    testsupport::PrivateServer server;
    std::unique_ptr<Counter> counter;
    Cart cart;
    qint64 stock = 0;
    qint64 pid = 0;
    MessageScript script;
};

TEST_P(SaleAfterLostConnection, TheRetriedSaleIsStoredOnce)
{
    const OutageCase c = GetParam();
    fillCart();
    switch (c.outage) {
    case Outage::SessionEnded:
        endSession();
        break;
    case Outage::Restart:
        ASSERT_TRUE(server.halt()) << server.error().toStdString();
        ASSERT_TRUE(server.resume()) << server.error().toStdString();
        break;
    case Outage::SaleDuringRestart: {
        ASSERT_TRUE(server.halt()) << server.error().toStdString();
        for (int attempt = 0; attempt < 2; ++attempt) {
            script.clear();
            const SaleResult down = sell();
            EXPECT_EQ(down.status, SaleStatus::Failed);
            ASSERT_EQ(script.texts().size(), 1);
            EXPECT_TRUE(script.texts().at(0).startsWith(
                QStringLiteral("本单保存失败，没有写入任何数据，请重试：与数据库服务器的连接已断开，重新连接也没有成功，请检查服务器和网络后重试：")))
                << script.texts().at(0).toStdString();
            EXPECT_EQ(cart.count(), 1);
        }
        ASSERT_TRUE(server.resume()) << server.error().toStdString();
        break;
    }
    }

    script.clear();
    int attempts = 0;
    bool written = false;
    while (!written && attempts < c.attemptsAllowed) {
        ++attempts;
        written = sell().written();
    }
    EXPECT_TRUE(written) << script.texts().join(u'|').toStdString();
    // A sale that failed on the way said why in Chinese, not in the server's words alone.
    for (const QString &text : script.texts())
        EXPECT_TRUE(text.contains(QStringLiteral("与数据库服务器的连接已断开"))) << text.toStdString();
    EXPECT_TRUE(cart.isEmpty());
    EXPECT_EQ(counter->count(QStringLiteral("销售明细")), 1);
    EXPECT_EQ(counter->text(QStringLiteral("采购入库"), stock, QStringLiteral("已售")), QStringLiteral("1"));
    EXPECT_EQ(counter->text(QStringLiteral("采购入库"), stock, QStringLiteral("数量")), QStringLiteral("4"));
}

INSTANTIATE_TEST_SUITE_P(
    Outages, SaleAfterLostConnection,
    ::testing::Values(OutageCase{"SessionEndedByTheServer", Outage::SessionEnded, 2},
                      OutageCase{"ServerRestartedWhileIdle", Outage::Restart, 1},
                      OutageCase{"SaleTriedWhileTheServerWasDown", Outage::SaleDuringRestart, 1}),
    [](const ::testing::TestParamInfo<OutageCase> &info) { return std::string(info.param.name); });

} // namespace
