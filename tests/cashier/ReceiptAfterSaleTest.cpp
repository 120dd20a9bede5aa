// The receipt of a sale: printed once after the commit when receipt printing is on; a job that
// cannot start leaves the sale written, the cart cleared and one line in the program log.
#include "CounterFixture.h"

#include "cashier/Cart.h"
#include "cashier/LinePrice.h"
#include "cashier/SaleWriter.h"
#include "platform/MessageScript.h"
#include "platform/ProgramLog.h"
#include "printing/DeviceReceiptPrinter.h"

#include <QFile>
#include <QTemporaryDir>

using namespace cashier;
using namespace countertest;

namespace {

TEST(ReceiptAfterSale, OneReceiptAfterTheCommitAndAFailedJobOnlyLogged)
{
    ClockGuard clock;
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(9, 5, 0)));
    Counter c{data::Backend::Sqlite};
    ASSERT_TRUE(c.ok()) << c.db.error().toStdString();
    MessageScript script;
    QTemporaryDir dir;
    const QString previousLog = programlog::path();
    programlog::setPath(dir.filePath(QStringLiteral("log.txt")));
    const qint64 stock = c.addStock({{QStringLiteral("数量"), QStringLiteral("10")}});

    printing::DeviceReceiptPrinter printer(c.context);
    SaleHooks hooks;
    hooks.receiptPrinter = &printer;
    const struct {
        const char *flag;
        QString pdf;
        int jobs, sales, logLines;
    } cases[] = {
        {"假", dir.filePath(QStringLiteral("a.pdf")), 0, 1, 0},
        {"真", dir.filePath(QStringLiteral("b.pdf")), 1, 2, 0},
        {"真", QStringLiteral("/nonexistent-folder/c.pdf"), 1, 3, 1},
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(k.pdf.toStdString());
        c.context.receiptPrintFlag = QString::fromUtf8(k.flag);
        printer.pdfPath = [&k] { return k.pdf; };
        Cart cart;
        CartLine line;
        line.id = QString::number(stock);
        line.款号 = QStringLiteral("1001");
        line.数量 = QStringLiteral("1");
        line.金额 = QStringLiteral("80");
        line.结付 = kPayCash;
        cart.append(line);
        computeCartTotals(cart);
        SaleRequest request;
        request.payable = request.received = QStringLiteral("80");
        EXPECT_TRUE(confirmCheckout(c.context, cart, request, hooks).written());
        EXPECT_TRUE(cart.isEmpty());
        EXPECT_EQ(printer.jobs(), k.jobs);
        EXPECT_EQ(c.count(QStringLiteral("销售明细")), k.sales);
        QFile log(dir.filePath(QStringLiteral("log.txt")));
        const int lines = log.open(QIODevice::ReadOnly) ? int(log.readAll().count('\n')) : 0;
        EXPECT_EQ(lines, k.logLines);
    }
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("b.pdf"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("a.pdf"))));
    programlog::setPath(previousLog);
}

} // namespace
