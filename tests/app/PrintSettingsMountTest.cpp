// The printing settings page as the assembled main window mounts it: on the settings page
// 票据打印设置, its layouts read from print.ini when the main window is created, its print switches
// following the flags whenever the page is shown.
#include "app/Assembly.h"
#include "app/MountedShopTest.h"
#include "platform/HotKeys.h"
#include "platform/IniFile.h"
#include "platform/MessageScript.h"
#include "platform/ProgramDir.h"
#include "shell/MainWindow.h"
#include "shell/SettingsTab.h"
#include "support/SqliteShopTest.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

class PrintSettingsMountTest : public MountedShopTest
{
};

} // namespace

TEST_F(PrintSettingsMountTest, TheMainWindowLoadsTheLayoutsAndThePageShowsTheFlags)
{
    const QString printIni = ProgramDir::file(QStringLiteral("print.ini"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(SHOPDESK_SOURCE_DIR "/share/print.ini"), printIni));
    ASSERT_TRUE(writeIniValue(printIni, QStringLiteral("小票配置"), QStringLiteral("主标题"), QStringLiteral("阳光服饰")));
    ASSERT_TRUE(writeIniValue(printIni, QStringLiteral("标签配置"), QStringLiteral("条码高度"), QStringLiteral("650")));
    context.receiptPrintFlag = QStringLiteral("真");
    context.labelPrintFlag = QStringLiteral("假");

    shell::MainWindow main(context, app::assembleMainPages(nullptr, nullptr));
    auto *tab = main.findChild<shell::SettingsTab *>(QStringLiteral("选择夹3"));
    ASSERT_TRUE(tab);
    QWidget *printing = tab->page(shell::SettingsTab::Printing);
    auto *title = printing->findChild<QLineEdit *>(QStringLiteral("主标题"));
    auto *barHeight = printing->findChild<QLineEdit *>(QStringLiteral("条高"));
    ASSERT_TRUE(title && barHeight);
    EXPECT_EQ(title->text(), QStringLiteral("阳光服饰"));
    EXPECT_EQ(barHeight->text(), QStringLiteral("650"));
    EXPECT_EQ(printing->findChild<QLineEdit *>(QStringLiteral("款上"))->toolTip(),
              QStringLiteral("打印项目的顶边高都相同，此处合为一处填写"));

    main.show();
    main.toolbarAction(6)->trigger();
    tab->setCurrentIndex(shell::SettingsTab::Printing);
    EXPECT_TRUE(printing->findChild<QCheckBox *>(QStringLiteral("选择框9"))->isChecked());
    EXPECT_FALSE(printing->findChild<QCheckBox *>(QStringLiteral("打标签框"))->isChecked());

    context.receiptPrintFlag = QStringLiteral("假");
    context.labelPrintFlag = QStringLiteral("真");
    tab->setCurrentIndex(shell::SettingsTab::Log);
    tab->setCurrentIndex(shell::SettingsTab::Printing);
    EXPECT_FALSE(printing->findChild<QCheckBox *>(QStringLiteral("选择框9"))->isChecked());
    EXPECT_TRUE(printing->findChild<QCheckBox *>(QStringLiteral("打标签框"))->isChecked());
    main.close();
}
