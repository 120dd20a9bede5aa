// The report windows as the assembled main window opens them: 销量排行X of the page 销售明细 opens
// the sales ranking (modal), 按钮20 of the page 采购入库 the purchase report (not modal).
#include "app/Assembly.h"
#include "app/MountedShopTest.h"
#include "platform/HotKeys.h"
#include "platform/MessageScript.h"
#include "reports/PurchaseReportWindow.h"
#include "shell/MainWindow.h"
#include "support/SqliteShopTest.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class ReportWindowsMountTest : public MountedShopTest
{
};

} // namespace

TEST_F(ReportWindowsMountTest, TheRankingAndThePurchaseReportOpenFromTheirPages)
{
    shell::MainWindow main(context, app::assembleMainPages(nullptr, nullptr));
    main.show();

    main.toolbarAction(1)->trigger();
    auto *ranking = main.findChild<QPushButton *>(QStringLiteral("销量排行X"));
    ASSERT_TRUE(ranking);
    ranking->click();
    EXPECT_EQ(script.dialogs(), QStringList{QStringLiteral("SalesRankingWindow")});

    main.toolbarAction(3)->trigger();
    auto *report = main.findChild<QPushButton *>(QStringLiteral("按钮20"));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->text(), QStringLiteral("采购报表"));
    report->click();
    const auto windows = main.findChildren<reports::PurchaseReportWindow *>();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows.first()->isVisible());
    EXPECT_EQ(script.dialogs().size(), 1); // not through the modal seam
    EXPECT_TRUE(script.texts().isEmpty()) << script.texts().join(u';').toStdString();
}
