// The member tier grid as the assembled main window mounts it: in the group 会员设置 of the
// settings page 店铺初始设置, filled when that page is shown, its cell editor attached when the
// main window is created.
#include "app/Assembly.h"
#include "app/MountedShopTest.h"
#include "data/RecordSet.h"
#include "lists/ReportList.h"
#include "lists/ReportListModel.h"
#include "platform/HotKeys.h"
#include "platform/MessageScript.h"
#include "shell/MainWindow.h"
#include "shell/SettingsTab.h"
#include "support/SqliteShopTest.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class MemberTierMountTest : public MountedShopTest
{
};

} // namespace

TEST_F(MemberTierMountTest, TheGridSitsInItsGroupLoadsWithThePageAndSavesAnEditedCell)
{
    shell::MainWindow main(context, app::assembleMainPages(nullptr, nullptr));
    main.show();
    QApplication::setActiveWindow(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    main.toolbarAction(6)->trigger();
    auto *tab = main.findChild<shell::SettingsTab *>(QStringLiteral("选择夹3"));
    ASSERT_TRUE(tab);
    tab->setCurrentIndex(shell::SettingsTab::ShopSetup);

    auto *group = main.findChild<QGroupBox *>(QStringLiteral("会员设置"));
    ASSERT_TRUE(group);
    auto *grid = group->findChild<ReportList *>(QStringLiteral("超级列表框11"));
    auto *box = group->findChild<QLineEdit *>(QStringLiteral("编辑框8"));
    ASSERT_TRUE(grid && box);
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->cellText(0, 1), QStringLiteral("金卡会员"));

    grid->scrollTo(grid->listModel()->index(0, 3));
    QApplication::processEvents();
    const QPoint at = grid->visualRect(grid->listModel()->index(0, 3)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QApplication::processEvents();
    ASSERT_TRUE(box->isVisible());
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("3500"));
    QTest::keyClick(box, Qt::Key_Return);

    data::RecordSet rs(context.connection());
    ASSERT_TRUE(rs.open(data::Sql("SELECT 累计积分 FROM [会员类别] WHERE 所属店铺='A' ORDER BY id")));
    EXPECT_EQ(rs.rowCount(), 3);
    EXPECT_EQ(rs.text(0), QStringLiteral("3500"));
    EXPECT_EQ(context.memberTiers[0].累计积分, QStringLiteral("3500"));
    EXPECT_TRUE(script.texts().isEmpty()) << script.texts().join(u';').toStdString();
}
