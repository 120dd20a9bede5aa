// The counter as a shop's clerk uses it in the assembled program: goods entered on the page
// 采购入库 are sold on the page 前台收银 (one by its barcode, one by the pinyin initials of its name
// with the chooser), paid by cash and bank card together, and the sale is on the page 销售明细 with
// the stock lower; the main window's keys clear the cart and open the cash drawer.
#include <QFile>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QToolButton>

#include "PurchaseSteps.h"
#include "cashier/CashierPage.h"
#include "cashier/CheckoutWindow.h"
#include "cashier/ProductChooserWindow.h"
#include "reports/SalesDetailPage.h"
#include "shell/LockSetupDialog.h"

using apptest::child;
using apptest::Installation;
using apptest::Shop;
using cashier::CheckoutField;
using shell::MainWindow;
using stock::FilterComboBox;

namespace {

struct StockRow
{
    QString id, barcode, name, colour, size, quantity, sold;
};

struct PurchaseLine
{
    QString colourInitial, size, quantity;
};

class SaleThroughMainWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(inst.ok()) << inst.db.error().toStdString();
        ASSERT_NO_FATAL_FAILURE(apptest::setUpShop(inst));
        const SettingsFile ini = inst.ini();
        // Receipts and labels printed; the labels give each entry a barcode of its own.
        ini.writeSetting(SettingsFile::PrintSection, SettingsFile::ReceiptKey, QStringLiteral("真"));
        ini.writeSetting(SettingsFile::PrintSection, SettingsFile::LabelKey, QStringLiteral("真"));
        drawer = inst.db.dir() + QStringLiteral("/drawer"); // a file standing in for the device
        QFile device(drawer);
        ASSERT_TRUE(device.open(QIODevice::WriteOnly));
        ini.writeSetting(QStringLiteral("钱箱"), QStringLiteral("端口"), drawer);
        Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
        inst.script.setDialogHandler([this](QDialog *dialog) {
            const int named = apptest::answerCategoryName(dialog);
            if (named >= 0)
                return named;
            return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
        });
    }

    // Every stock row of the shop, oldest first.
    QList<StockRow> stock()
    {
        QList<StockRow> rows;
        QSqlQuery q(QSqlDatabase::database(inst.db.connection().connectionName()));
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT id, 商品条码, 名称, 颜色, 尺码, 数量, 已售 FROM 采购入库 "
                                          "WHERE 所属店铺 = '总店' ORDER BY id")));
        while (q.next()) {
            rows.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                         q.value(4).toString(), q.value(5).toString(), q.value(6).toString()});
        }
        return rows;
    }

    // One entry on the page 采购入库, typed as the clerk types it.
    static void enterPurchase(stock::PurchasePage *page, const QString &name, const QString &cost, const QString &tag,
                              const QList<PurchaseLine> &lines)
    {
        auto retype = [&](const char *box, const QString &text) {
            auto *combo = child<FilterComboBox>(page, QString::fromUtf8(box));
            ASSERT_TRUE(combo);
            combo->lineEdit()->clear();
            apptest::type(combo, text);
        };
        ASSERT_NO_FATAL_FAILURE(retype("供货来源7", QStringLiteral("g")));
        ASSERT_NO_FATAL_FAILURE(retype("类别7", QStringLiteral("c")));
        ASSERT_NO_FATAL_FAILURE(retype("单位8", QStringLiteral("j")));
        auto *style = child<QLineEdit>(page, QStringLiteral("款号7"));
        style->clear();
        QTest::mouseClick(style, Qt::LeftButton); // suggests the next style number
        ASSERT_FALSE(style->text().isEmpty());
        child<FilterComboBox>(page, QStringLiteral("名称7"))->setEditText(name);
        child<QLineEdit>(page, QStringLiteral("进货价7"))->setText(cost);
        child<QLineEdit>(page, QStringLiteral("吊牌价7"))->setText(tag);
        for (int k = 1; k <= lines.size(); ++k) {
            const PurchaseLine &line = lines.at(k - 1);
            const QString n = QString::number(k);
            ASSERT_NO_FATAL_FAILURE(retype(qPrintable(QStringLiteral("颜色") + n), line.colourInitial));
            ASSERT_NO_FATAL_FAILURE(retype(qPrintable(QStringLiteral("尺码") + n), line.size));
            auto *quantity = child<QLineEdit>(page, QStringLiteral("数量") + n);
            quantity->setFocus(); // leaving the size box upper-cases it
            quantity->clear();
            QTest::keyClicks(quantity, line.quantity);
        }
        QTest::mouseClick(child<QPushButton>(page, QStringLiteral("添加采购")), Qt::LeftButton);
    }

    // Types into the scan box as a scanner does (the last code stays selected, so this replaces
    // it) and presses Enter.
    static void scan(cashier::CashierPage *page, const QString &text)
    {
        QTest::keyClicks(page->scanBox(), text);
        QTest::keyClick(page->scanBox(), Qt::Key_Return);
    }

    // Logs in as zs, makes the main window the active one and runs the body; the run ends when
    // the body returns.
    void runAsClerk(const std::function<void(MainWindow &)> &body)
    {
        const int code = inst.run([&](shell::LoginWindow &login) {
            MainWindow *main = Installation::logIn(login, QStringLiteral("zs"), QStringLiteral("1"));
            if (!main)
                return QCoreApplication::exit(98);
            QApplication::setActiveWindow(main); // as the desktop activates a window that opens
            body(*main);
            main->close();
        });
        EXPECT_EQ(code, 0);
    }

    Installation inst;
    QString drawer;
    std::function<int(QDialog *)> onDialog;
};

TEST_F(SaleThroughMainWindow, TwoPurchasedItemsSoldBySplitPaymentAreListedAndTakenFromStock)
{
    QList<StockRow> before;
    QStringList unexpected;
    runAsClerk([&](MainWindow &main) {
        setUpCatalogue(main, inst);
        if (::testing::Test::HasFatalFailure())
            return;
        inst.script.clear();

        // Two entries: a shirt in two colours (one barcode for both), trousers in one.
        main.toolbarAction(3)->trigger();
        auto *purchase = child<stock::PurchasePage>(&main, QStringLiteral("采购入库"));
        ASSERT_NO_FATAL_FAILURE(enterPurchase(purchase, QStringLiteral("纯棉衬衫"), QStringLiteral("50"), QStringLiteral("120"),
                                              {{QStringLiteral("h"), QStringLiteral("s"), QStringLiteral("2")},
                                               {QStringLiteral("b"), QStringLiteral("s"), QStringLiteral("2")}}));
        ASSERT_NO_FATAL_FAILURE(enterPurchase(purchase, QStringLiteral("牛仔裤"), QStringLiteral("80"), QStringLiteral("200"),
                                              {{QStringLiteral("h"), QStringLiteral("m"), QStringLiteral("3")}}));
        before = stock();
        ASSERT_EQ(before.size(), 3);
        ASSERT_NE(before[0].barcode, before[2].barcode);
        ASSERT_GE(before[2].barcode.size(), 13);
        unexpected << inst.script.texts();
        inst.script.clear();

        main.toolbarAction(0)->trigger();
        ASSERT_EQ(main.currentPage(), 0);
        auto *counter = main.findChild<cashier::CashierPage *>();
        ASSERT_TRUE(counter);
        // The trousers by their barcode.
        scan(counter, before[2].barcode);
        ASSERT_EQ(counter->cart().count(), 1);
        // The white shirt by the initials of its name: both shirts match, the chooser picks.
        int chooserRows = -1;
        onDialog = [&](QDialog *dialog) {
            auto *chooser = qobject_cast<cashier::ProductChooserWindow *>(dialog);
            if (!chooser)
                return int(QDialog::Rejected);
            chooserRows = chooser->list()->rowCount();
            for (int row = 0; row < chooserRows; ++row) {
                for (int c = 0; c < chooser->list()->columnCount(); ++c) {
                    if (chooser->list()->cellText(row, c) == QStringLiteral("白色"))
                        chooser->list()->selectRow(row);
                }
            }
            chooser->pickProduct();
            return chooser->result();
        };
        scan(counter, QStringLiteral("cmcs"));
        EXPECT_EQ(chooserRows, 2);
        ASSERT_EQ(counter->cart().count(), 2);
        EXPECT_EQ(counter->cart().line(1).id, before[1].id);
        EXPECT_EQ(counter->amountBox()->text(), QStringLiteral("320"));

        // F5 in the scan box opens the checkout; F3 splits the payment over cash and card.
        QString payable, received;
        onDialog = [&](QDialog *dialog) {
            auto *checkout = qobject_cast<cashier::CheckoutWindow *>(dialog);
            if (!checkout)
                return int(QDialog::Rejected);
            payable = checkout->field(CheckoutField::应付款)->text();
            EXPECT_TRUE(checkout->handleCheckoutKey(Qt::Key_F3));
            QTest::keyClicks(checkout->field(CheckoutField::现金), QStringLiteral("100"));
            QTest::keyClicks(checkout->field(CheckoutField::银行), QStringLiteral("220"));
            received = checkout->field(CheckoutField::实收款)->text();
            EXPECT_TRUE(checkout->handleCheckoutKey(Qt::Key_Return));
            EXPECT_TRUE(checkout->lastResult().written()) << checkout->lastResult().message.toStdString();
            return checkout->result();
        };
        QTest::keyClick(counter->scanBox(), Qt::Key_F5);
        onDialog = {};
        EXPECT_EQ(payable, QStringLiteral("320"));
        EXPECT_EQ(received, QStringLiteral("320"));
        EXPECT_EQ(inst.script.dialogs(), (QStringList{QStringLiteral("ProductChooserWindow"), QStringLiteral("CheckoutWindow")}));
        EXPECT_TRUE(counter->cart().isEmpty());
        EXPECT_TRUE(counter->amountBox()->text().isEmpty());
        unexpected << inst.script.texts();

        // Today's sales on 销售明细: both lines, one receipt, the split spread over them.
        main.toolbarAction(1)->trigger();
        ASSERT_EQ(main.currentPage(), 1);
        auto *sales = main.findChild<reports::SalesDetailPage *>();
        ASSERT_TRUE(sales);
        ReportList *list = sales->list();
        ASSERT_EQ(list->rowCount(), 2);
        double cash = 0, card = 0;
        for (int row = 0; row < 2; ++row) {
            EXPECT_EQ(list->cellText(row, 2), QStringLiteral("58985141183")) << row;
            EXPECT_EQ(list->cellText(row, 16), QStringLiteral("其它")) << row;
            EXPECT_EQ(list->cellText(row, 17), QStringLiteral("2015-03-11")) << row;
            cash += list->cellText(row, 21).toDouble();
            card += list->cellText(row, 23).toDouble();
        }
        EXPECT_EQ(list->cellText(0, 3), QStringLiteral("牛仔裤"));
        EXPECT_EQ(list->cellText(1, 3), QStringLiteral("纯棉衬衫"));
        EXPECT_DOUBLE_EQ(cash, 100);
        EXPECT_DOUBLE_EQ(card, 220);
        EXPECT_EQ(sales->footerLabel(0)->text(), QStringLiteral("320")); // amount
        EXPECT_EQ(sales->footerLabel(1)->text(), QStringLiteral("2"));   // quantity
        EXPECT_EQ(sales->footerLabel(2)->text(), QStringLiteral("130")); // cost
        EXPECT_TRUE(sales->footerLabel(0)->isVisibleTo(sales));
    });

    const QList<StockRow> after = stock();
    ASSERT_EQ(after.size(), 3);
    EXPECT_EQ(after[0].quantity, QStringLiteral("2")) << "the red shirt was not sold";
    EXPECT_EQ(after[1].quantity, QStringLiteral("1"));
    EXPECT_EQ(after[1].sold.toInt(), before[1].sold.toInt() + 1);
    EXPECT_EQ(after[2].quantity, QStringLiteral("2"));
    EXPECT_EQ(after[2].sold.toInt(), before[2].sold.toInt() + 1);
    ASSERT_EQ(inst.receipts->receipts().size(), 1);
    EXPECT_EQ(inst.receipts->receipts()[0].receiptNo, QStringLiteral("58985141183"));
    EXPECT_EQ(inst.receipts->receipts()[0].lines.size(), 2);
    EXPECT_TRUE(unexpected.isEmpty()) << unexpected.join(u'\n').toStdString();
}

// The main window's keys on a cart filled from the scan box, with a stock row written as an
// earlier session left it.
TEST_F(SaleThroughMainWindow, KeysClearTheCartOpenTheDrawerAndLeaveAnEmptyCartAlone)
{
    ASSERT_TRUE(apptest::insertShirt(inst, QStringLiteral("2")));
    runAsClerk([&](MainWindow &main) {
        main.toolbarAction(0)->trigger();
        auto *counter = main.findChild<cashier::CashierPage *>();
        ASSERT_TRUE(counter);
        QWidget *box = counter->scanBox();

        // An empty cart: Esc and F5 do nothing, F1 says there is no order.
        QTest::keyClick(box, Qt::Key_Escape);
        QTest::keyClick(box, Qt::Key_F5);
        EXPECT_TRUE(inst.script.dialogs().isEmpty());
        QTest::keyClick(box, Qt::Key_F1);
        EXPECT_EQ(inst.script.texts(), QStringList{QStringLiteral("当前列表还没有订单！")});
        inst.script.clear();

        scan(counter, QStringLiteral("6983111485901"));
        scan(counter, QStringLiteral("6983111485901"));
        ASSERT_EQ(counter->cart().count(), 2);
        EXPECT_EQ(counter->amountBox()->text(), QStringLiteral("240"));

        // F8 kicks the drawer of sql.ini and leaves the cart as it is.
        QTest::keyClick(box, Qt::Key_F8);
        QFile device(drawer);
        ASSERT_TRUE(device.open(QIODevice::ReadOnly));
        EXPECT_EQ(device.readAll(), QByteArray::fromHex("1b70006464"));
        EXPECT_EQ(counter->cart().count(), 2);

        // F4 opens the lock set-up; its close button hands the keys back: Esc still clears the cart.
        onDialog = [](QDialog *dialog) {
            if (auto *setup = dynamic_cast<shell::LockSetupDialog *>(dialog))
                setup->closeButton()->click();
            return dialog->result();
        };
        QTest::keyClick(box, Qt::Key_F4);
        onDialog = {};
        EXPECT_EQ(inst.script.dialogs(), QStringList{QStringLiteral("LockSetupDialog")});
        inst.script.clear();
        QTest::keyClick(box, Qt::Key_Escape);
        EXPECT_TRUE(counter->cart().isEmpty());
        EXPECT_TRUE(counter->amountBox()->text().isEmpty());
        EXPECT_EQ(counter->cartList()->rowCount(), 0);

        // The 结算 button says so on an empty cart.
        child<QPushButton>(counter, QStringLiteral("结算"))->click();
        EXPECT_EQ(inst.script.texts(), QStringList{QStringLiteral("当前例表没有要结算的产品！")});
        EXPECT_TRUE(inst.script.dialogs().isEmpty());
    });
}

} // namespace
