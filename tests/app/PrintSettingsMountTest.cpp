// The printing settings page as the assembled main window mounts it: on the settings page
// 票据打印设置, its layouts read from print.ini when the main window is created, its print switches
// following the flags whenever the page is shown.
#include "app/Assembly.h"
#include "app/MountedShopTest.h"
#include "platform/Clock.h"
#include "platform/HotKeys.h"
#include "platform/IniFile.h"
#include "platform/MessageScript.h"
#include "platform/ProgramDir.h"
#include "printing/RecordingReceiptPrinter.h"
#include "shell/MainWindow.h"
#include "shell/SettingsTab.h"
#include "support/SqliteShopTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
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

// At the window's first size and at 1600 × 1000 every group caption of the page shows whole (the
// style's title rectangle holds the text as laid out and lies inside its box), and the page shows
// its fixed hints: the logo size under the logo settings, the calibration hint over the three
// receipt buttons, and the two notes on the default printer.
TEST_F(PrintSettingsMountTest, EveryCaptionShowsWholeAndTheHintsAreShown)
{
    const QSize sizes[] = {QSize(1195, 584), QSize(1600, 1000)};
    for (const QSize &size : sizes) {
        SCOPED_TRACE(size.width());
        shell::MainWindow main(context, app::assembleMainPages(nullptr, nullptr));
        main.resize(size);
        main.show();
        main.toolbarAction(6)->trigger();
        auto *tab = main.findChild<shell::SettingsTab *>(QStringLiteral("选择夹3"));
        ASSERT_TRUE(tab);
        tab->setCurrentIndex(shell::SettingsTab::Printing);
        QWidget *printing = tab->page(shell::SettingsTab::Printing);
        QApplication::processEvents();

        const QList<QGroupBox *> boxes = printing->findChildren<QGroupBox *>();
        ASSERT_GE(boxes.size(), 14);
        for (QGroupBox *box : boxes) {
            ASSERT_TRUE(box->isVisible()) << box->title().toStdString();
            QStyleOptionGroupBox option;
            option.initFrom(box);
            option.text = box->title();
            option.textAlignment = box->alignment();
            option.lineWidth = 1;
            option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            const QRect label = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
            EXPECT_GE(label.width(), box->fontMetrics().horizontalAdvance(box->title())) << box->title().toStdString();
            EXPECT_TRUE(box->rect().contains(label)) << box->title().toStdString();
        }

        const auto hint = [printing](const QString &text) -> QLabel * {
            for (QLabel *label : printing->findChildren<QLabel *>())
                if (label->text() == text)
                    return label;
            return nullptr;
        };
        const QString hints[] = {QStringLiteral("LOGO建议200×40像素"), QStringLiteral("测试打印调好后，再打真实小票校准。"),
                                 QStringLiteral("收银小票打印到本机的默认打印机。"),
                                 QStringLiteral("把虚拟文档打印机（如PDF打印机）设为默认打印机，可以把小票打成文件，查看排版效果。")};
        for (const QString &text : hints) {
            QLabel *label = hint(text);
            ASSERT_TRUE(label) << text.toStdString();
            EXPECT_TRUE(label->isVisible()) << text.toStdString();
        }
        QLabel *logo = hint(hints[0]);
        EXPECT_EQ(qobject_cast<QGroupBox *>(logo->parentWidget())->title(), QStringLiteral("【2】"));
        EXPECT_GT(logo->mapTo(printing, QPoint()).y(),
                  printing->findChild<QLineEdit *>(QStringLiteral("L高"))->mapTo(printing, QPoint()).y());
        const int hintBottom = hint(hints[1])->mapTo(printing, QPoint(0, hint(hints[1])->height())).y();
        for (const char *button : {"保存小票", "恢复默认配置", "测试打印"})
            EXPECT_LE(hintBottom, printing->findChild<QWidget *>(QString::fromUtf8(button))->mapTo(printing, QPoint()).y())
                << button;
        main.close();
    }
}

// 测试打印 prints under the last sale's receipt number but as a job of its own name, a new one each
// time, so that a PDF printer neither writes it over that sale's receipt file nor over the last
// test print (even within one second).
TEST_F(PrintSettingsMountTest, EachTestPrintIsAJobOfItsOwnName)
{
    auto receipts = std::make_shared<printing::RecordingReceiptPrinter>();
    context.receiptNo = QStringLiteral("51234561103");
    Clock::setFixed(QDateTime(QDate(2026, 12, 11), QTime(9, 30, 5)));
    shell::MainWindow main(context, app::assembleMainPages(nullptr, receipts));
    main.show();
    main.toolbarAction(6)->trigger();
    auto *tab = main.findChild<shell::SettingsTab *>(QStringLiteral("选择夹3"));
    ASSERT_TRUE(tab);
    tab->setCurrentIndex(shell::SettingsTab::Printing);
    auto *testPrint = tab->page(shell::SettingsTab::Printing)->findChild<QPushButton *>(QStringLiteral("测试打印"));
    ASSERT_TRUE(testPrint);
    testPrint->click();
    testPrint->click();
    Clock::reset();
    ASSERT_EQ(receipts->receipts().size(), 2);
    const printing::Receipt &first = receipts->receipts().at(0);
    const printing::Receipt &second = receipts->receipts().at(1);
    EXPECT_EQ(first.receiptNo, context.receiptNo);
    EXPECT_EQ(first.jobName, QStringLiteral("test-20261211-093005-1"));
    EXPECT_EQ(second.jobName, QStringLiteral("test-20261211-093005-2"));
    main.close();
}
