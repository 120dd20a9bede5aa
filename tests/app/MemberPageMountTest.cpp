// The member page as the assembled main window shows it: the adjustment history 超级列表框4 on the
// page "积分调整记录" shows at least five rows at the window's first size and at 1600 × 1000.
#include "app/Assembly.h"
#include "app/MountedShopTest.h"
#include "lists/ReportList.h"
#include "members/MemberAdjustPanel.h"
#include "members/MemberPage.h"
#include "shell/MainWindow.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <gtest/gtest.h>

namespace {

class MemberPageMountTest : public MountedShopTest
{
};

} // namespace

TEST_F(MemberPageMountTest, TheAdjustmentHistoryShowsFiveRows)
{
    const QSize sizes[] = {QSize(1195, 584), QSize(1600, 1000)};
    for (const QSize &size : sizes) {
        SCOPED_TRACE(size.width());
        shell::MainWindow main(context, app::assembleMainPages(nullptr, nullptr));
        main.resize(size);
        main.show();
        main.toolbarAction(2)->trigger();
        ASSERT_EQ(main.currentPage(), 2);
        auto *page = main.findChild<members::MemberPage *>(QStringLiteral("会员管理"));
        ASSERT_TRUE(page);
        auto *history = page->findChild<ReportList *>(QStringLiteral("超级列表框4"));
        ASSERT_TRUE(history);
        for (int r = 1; r <= 5; ++r)
            history->addRow({QString::number(r), QStringLiteral("2015-03-11 14:05:09"), QStringLiteral("10"),
                             QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("张三"), QStringLiteral("东店"),
                             QStringLiteral("V001"), QStringLiteral("手工调整")});
        QApplication::processEvents();
        ASSERT_TRUE(history->isVisible());
        const QRect shown = history->viewport()->rect();
        for (int r = 0; r < 5; ++r) {
            const QRect row = history->visualRect(history->model()->index(r, 0));
            EXPECT_TRUE(row.isValid() && shown.contains(row)) << "row " << r + 1 << " at " << row.y() << "+" << row.height()
                                                              << " of " << shown.height();
        }
        main.close();
    }
}
