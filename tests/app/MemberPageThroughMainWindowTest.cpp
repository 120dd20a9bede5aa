// The member page as the clerk opens it from the toolbar of the assembled program: the shop's
// members listed, a new member added from the form and listed last.
#include "PurchaseSteps.h"

#include "members/MemberPage.h"

using apptest::child;
using apptest::Installation;
using shell::MainWindow;

namespace {

TEST(MemberPageThroughMainWindow, ListsTheShopsMembersAndAddsOne)
{
    Installation inst;
    ASSERT_TRUE(inst.ok()) << inst.db.error().toStdString();
    ASSERT_NO_FATAL_FAILURE(apptest::setUpShop(inst));
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
    const auto memberOf = [&](const QString &card, const QString &shop) {
        return inst.insert(QStringLiteral("会员管理"), {{QStringLiteral("会员卡号"), card},
                                                       {QStringLiteral("会员姓名"), QStringLiteral("老会员")},
                                                       {QStringLiteral("所属店铺"), shop}});
    };
    ASSERT_TRUE(memberOf(QStringLiteral("V001"), apptest::Shop));
    ASSERT_TRUE(memberOf(QStringLiteral("W001"), QStringLiteral("西店")));

    QStringList cards;
    QStringList texts;
    int comboItems = -1;
    const int code = inst.run([&](shell::LoginWindow &login) {
        MainWindow *main = Installation::logIn(login, QStringLiteral("zs"), QStringLiteral("1"));
        if (!main)
            return QCoreApplication::exit(98);
        [&] {
            main->toolbarAction(2)->trigger();
            ASSERT_EQ(main->currentPage(), 2);
            auto *page = child<members::MemberPage>(main, QStringLiteral("会员管理"));
            ASSERT_TRUE(page);
            EXPECT_TRUE(child<QWidget>(page, QStringLiteral("分组框5")));
            comboItems = child<QComboBox>(page, QStringLiteral("会员类别3"))->count();
            child<QLineEdit>(page, QStringLiteral("会员卡号3"))->setText(QStringLiteral("V002"));
            child<QLineEdit>(page, QStringLiteral("会员姓名3"))->setText(QStringLiteral("新会员"));
            QTest::mouseClick(child<QPushButton>(page, QStringLiteral("添加会员")), Qt::LeftButton);
            texts = inst.script.texts();
            for (int r = 0; r < page->list()->rowCount(); ++r)
                cards << page->list()->cellText(r, 1);
        }();
        main->close();
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(texts.isEmpty()) << texts.join(u'\n').toStdString();
    EXPECT_EQ(comboItems, 3);
    EXPECT_EQ(cards, (QStringList{QStringLiteral("V001"), QStringLiteral("V002")}));
}

} // namespace
