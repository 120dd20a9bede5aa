// The cashier's Esc clears the cart only on the page 前台收银: on another page of the assembled
// main window (采购入库, where Esc closes a drop-down list) it leaves the cart alone and reaches
// the focused control; the other keys keep acting from any page.
#include <QDialog>
#include <QLineEdit>

#include "PurchaseSteps.h"
#include "cashier/CashierPage.h"
#include "cashier/CheckoutWindow.h"

using apptest::child;
using apptest::Installation;
using apptest::Shop;
using shell::MainWindow;
using stock::FilterComboBox;

namespace {

TEST(CounterKeysOnOtherPages, EscClearsTheCartOnlyOnTheCounterPage)
{
    Installation inst;
    ASSERT_TRUE(inst.ok()) << inst.db.error().toStdString();
    ASSERT_NO_FATAL_FAILURE(apptest::setUpShop(inst));
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
    ASSERT_TRUE(inst.insert(QStringLiteral("采购入库"),
                            {{QStringLiteral("商品条码"), QStringLiteral("6983111485901")}, {QStringLiteral("款号"), QStringLiteral("1001")},
                             {QStringLiteral("名称"), QStringLiteral("纯棉衬衫")}, {QStringLiteral("拼音检索"), QStringLiteral("cmcs")},
                             {QStringLiteral("颜色"), QStringLiteral("红色")}, {QStringLiteral("尺码"), QStringLiteral("S")},
                             {QStringLiteral("数量"), QStringLiteral("5")}, {QStringLiteral("已售"), QStringLiteral("0")},
                             {QStringLiteral("吊牌价"), QStringLiteral("120")}, {QStringLiteral("进货价"), QStringLiteral("50")},
                             {QStringLiteral("所属店铺"), Shop}}));
    for (const char *colour : {"红色", "黑色"}) {
        ASSERT_TRUE(inst.insert(QStringLiteral("颜色尺码"),
                                {{QStringLiteral("颜色"), QString::fromUtf8(colour)}, {QStringLiteral("所属店铺"), Shop}}));
    }
    inst.script.setDialogHandler([](QDialog *) { return int(QDialog::Rejected); });

    const int code = inst.run([&](shell::LoginWindow &login) {
        MainWindow *main = Installation::logIn(login, QStringLiteral("zs"), QStringLiteral("1"));
        if (!main)
            return QCoreApplication::exit(98);
        QApplication::setActiveWindow(main);
        [&] {
            main->toolbarAction(0)->trigger();
            auto *counter = main->findChild<cashier::CashierPage *>();
            ASSERT_TRUE(counter);
            for (int i = 0; i < 2; ++i) {
                QTest::keyClicks(counter->scanBox(), QStringLiteral("6983111485901"));
                QTest::keyClick(counter->scanBox(), Qt::Key_Return);
            }
            ASSERT_EQ(counter->cart().count(), 2);

            main->toolbarAction(3)->trigger();
            ASSERT_EQ(main->currentPage(), 3);
            auto *colour = child<FilterComboBox>(main, QStringLiteral("颜色1"));
            ASSERT_TRUE(colour);
            colour->setFocus();
            colour->showPopup();
            ASSERT_TRUE(colour->isListShown());
            QTest::keyClick(colour, Qt::Key_Escape); // the list closes
            EXPECT_FALSE(colour->isListShown());
            QTest::keyClick(colour, Qt::Key_Escape);
            QTest::keyClick(main, Qt::Key_Escape);
            EXPECT_EQ(counter->cart().count(), 2);
            EXPECT_EQ(counter->amountBox()->text(), QStringLiteral("240"));
            // Delivered by the key's id as well, Esc leaves the cart alone here.
            inst.hotKeys.trigger(main->mainHotKeys()[MainWindow::SlotEsc]);
            EXPECT_EQ(counter->cart().count(), 2);

            // F5 still opens the checkout from this page.
            QTest::keyClick(colour, Qt::Key_F5);
            EXPECT_EQ(inst.script.dialogs(), QStringList{QStringLiteral("CheckoutWindow")});
            EXPECT_EQ(counter->cart().count(), 2);

            main->toolbarAction(0)->trigger();
            QTest::keyClick(counter->scanBox(), Qt::Key_Escape);
            EXPECT_TRUE(counter->cart().isEmpty());
            EXPECT_TRUE(counter->amountBox()->text().isEmpty());
        }();
        main->close();
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(inst.script.texts().isEmpty()) << inst.script.texts().join(u'\n').toStdString();
}

} // namespace
