// The SMS window: the count of a message, the walk through the number batches of the last member
// fill, the notice and the test-number box, closing and reopening, and the test send, which never
// sends anything without an SMS service.
#include "MemberFixture.h"

#include "members/MemberExtras.h"
#include "members/SmsMessages.h"
#include "members/SmsWindow.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace members;

namespace {

// The numbers 1 to n in list order: 13000000001, 13000000002 ...
SmsNumbers numbersUpTo(int n)
{
    SmsNumbers numbers;
    for (int i = 1; i <= n; ++i)
        numbers.add(QString::number(13000000000LL + i));
    return numbers;
}

// The numbers first..last joined by "," without a trailing one.
QString joined(int first, int last)
{
    QStringList numbers;
    for (int i = first; i <= last; ++i)
        numbers << QString::number(13000000000LL + i);
    return numbers.join(u',');
}

class SmsWindowTest : public ::testing::Test {
protected:
    void click(const char *button)
    {
        QTest::mouseClick(window->findChild<QPushButton *>(QString::fromUtf8(button)), Qt::LeftButton);
    }
    void write(const QString &text) { window->messageBox()->setPlainText(text); }
    void open(SmsNumbers &numbers)
    {
        window = std::make_unique<SmsWindow>(numbers);
    }

    MessageScript messages;
    std::unique_ptr<SmsWindow> window;
};

TEST_F(SmsWindowTest, TheTitleTheNoticeAndTheNumberBoxAtOpening)
{
    SmsNumbers numbers;
    open(numbers);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("当前还有余额：          预计还可以发送     条"));
    EXPECT_EQ(window->messageGroup()->title(), QStringLiteral("短信内容"));
    EXPECT_TRUE(window->notice()->text().startsWith(QStringLiteral("任何形式广告、房产、教育、贷款、理财等信息暂停发送")));
    EXPECT_EQ(window->testNumberBox()->text(), QStringLiteral("测试手机号"));
    const QStringList sample = window->numbersBox()->toPlainText().split(u',');
    ASSERT_EQ(sample.size(), 6);
    EXPECT_EQ(sample.at(5), QString());
    EXPECT_EQ(sample.at(0).size(), 11);
    EXPECT_EQ(sample.count(sample.at(0)), 5);
    click("按钮1");
    EXPECT_EQ(window->numbersBox()->toPlainText(), QString());
}

TEST_F(SmsWindowTest, TheCountIsHalfTheGbkBytes)
{
    struct Case {
        QString message;
        QString caption;
    } cases[] = {
        {"生日快1", "短信内容 字数：3.5"},
        {"生日快乐", "短信内容 字数：4"},
        {"a", "短信内容 字数：0.5"},
        {"😀a", "短信内容 字数：1.5"}, // no GBK code: two bytes
        {"", "短信内容 字数：0"},
    };
    SmsNumbers numbers;
    open(numbers);
    for (const Case &c : cases) {
        write(c.message);
        EXPECT_EQ(window->messageGroup()->title(), c.caption) << c.message.toStdString();
    }
}

TEST_F(SmsWindowTest, TheGroupSendWalksTheBatchesFromTheCount)
{
    const QString first = QStringLiteral("本次共有%1条信息，将分多次发送");
    struct Case {
        int count;
        QStringList shown; // after the first message
        QString numberBox; // "" = as it was
        int countAfter;
    } cases[] = {
        {450, {joined(401, 450), joined(201, 400), joined(1, 200)}, joined(1, 200), 0},
        {1900,
         {joined(1801, 1900), joined(1801, 1900), joined(1601, 1800), joined(1401, 1600), joined(1201, 1400),
          joined(1001, 1200), joined(801, 1000), joined(601, 800), joined(401, 600), joined(201, 400), joined(1, 200)},
         joined(1, 200), 0},
        {3, {joined(1, 3)}, joined(1, 3), 0},
        {2, {}, "", 2},
        {0, {}, "", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.count);
        SmsNumbers numbers = numbersUpTo(c.count);
        open(numbers);
        const QString before = window->numbersBox()->toPlainText();
        write(QStringLiteral("会员日全场八折"));
        messages.clear();
        click("发送");
        EXPECT_EQ(messages.texts(), QStringList{first.arg(c.count)} + c.shown);
        EXPECT_EQ(window->numbersBox()->toPlainText(), c.numberBox.isEmpty() ? before : c.numberBox);
        EXPECT_EQ(numbers.count, c.countAfter);
        // The shown batches keep their shortened text.
        if (c.count == 450)
            EXPECT_EQ(numbers.batches[8], joined(201, 400));

        // A second group send has nothing left to walk after a walk.
        messages.clear();
        click("发送");
        const QStringList again = c.countAfter == 0 ? QStringList{first.arg(0)} : QStringList{first.arg(c.countAfter)};
        EXPECT_EQ(messages.texts(), again);
    }
}

TEST_F(SmsWindowTest, BothSendsNeedAMessage)
{
    SmsNumbers numbers = numbersUpTo(10);
    open(numbers);
    click("发送");
    click("测试发送");
    EXPECT_EQ(messages.texts(), (QStringList{"请先编辑短信内容", "请先编辑短信内容"}));
    EXPECT_EQ(numbers.count, 10);
}

TEST_F(SmsWindowTest, TheTestSendReadsTheServicesReplyAndNeverSendsWithoutOne)
{
    const QString unchanged = QStringLiteral("当前还有余额：          预计还可以发送     条");
    struct Case {
        const char *name;
        bool service;
        QString reply;
        QStringList shown;
        QString title;
    } cases[] = {
        {"no service", false, "", {"没有设置短信服务，测试短信没有发送！"}, unchanged},
        {"no reply", true, "", {"短信服务没有返回完整的结果（应为7项，以“;”分隔），无法显示发送结果！"}, unchanged},
        {"six fields", true, "0;ok;10;2;12;720", {"短信服务没有返回完整的结果（应为7项，以“;”分隔），无法显示发送结果！"}, unchanged},
        {"a whole reply", true, "0;ok;10;2;12;720;123456",
         {"提交成功：『10』个号码\r\n提交失败：『2』个号码\r\n计费条数：『12』条\r\n计费金额：『0.72』元"},
         "当前还有余额：『123.456』元           预计还可以发送『2057』条"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SmsNumbers numbers = numbersUpTo(5);
        open(numbers);
        int asked = 0;
        if (c.service)
            window->setServiceReply([&] {
                ++asked;
                return c.reply;
            });
        write(QStringLiteral("测试"));
        messages.clear();
        click("测试发送");
        EXPECT_EQ(messages.texts(), c.shown);
        EXPECT_EQ(window->windowTitle(), c.title);
        EXPECT_EQ(asked, c.service ? 1 : 0);
        EXPECT_EQ(numbers.count, 5);
    }
}

TEST_F(SmsWindowTest, TheNoticeGoesAtAClickAndTheTestNumberAtEveryPress)
{
    SmsNumbers numbers;
    open(numbers);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::mouseClick(window->notice(), Qt::LeftButton);
    EXPECT_FALSE(window->notice()->isVisible());
    EXPECT_EQ(window->focusWidget(), window->messageBox());

    QTest::mouseClick(window->testNumberBox(), Qt::LeftButton);
    EXPECT_EQ(window->testNumberBox()->text(), QString());
    QTest::keyClicks(window->testNumberBox(), QStringLiteral("13912345678"));
    EXPECT_EQ(window->testNumberBox()->text(), QStringLiteral("13912345678"));
    QTest::mouseClick(window->testNumberBox(), Qt::LeftButton);
    EXPECT_EQ(window->testNumberBox()->text(), QString());
}

// From the member page: the button is shown and opens the window on the batches of the last fill;
// closing empties batches 0 and 10 only, so a reopened window shows an empty first batch.
class SmsFromMemberPage : public membertest::SqliteMemberFixture {};

TEST_F(SmsFromMemberPage, ClosingAndReopeningKeepTheCountButNotBatchZero)
{
    mountMemberExtras(*page, {});
    auto *button = page->findChild<QPushButton *>(QStringLiteral("积分调整1"));
    ASSERT_TRUE(button);
    EXPECT_EQ(button->text(), QStringLiteral("短信群发"));
    EXPECT_TRUE(button->isVisibleTo(page.get()));

    QList<MemberRow> rows;
    for (int i = 1; i <= 1900; ++i) {
        MemberRow row;
        row.id = QString::number(i);
        row.mobile = QString::number(13000000000LL + i);
        rows << row;
    }
    page->fillMemberList(rows);
    ASSERT_EQ(page->smsNumbers().count, 1900);

    messages.setDialogHandler([](QDialog *) { return int(QDialog::Rejected); });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(messages.dialogs(), QStringList{"SmsWindow"});
    EXPECT_EQ(page->smsNumbers().count, 1900);
    EXPECT_EQ(page->smsNumbers().batches[0], QString());
    EXPECT_EQ(page->smsNumbers().batches[1], joined(1601, 1800) + u',');
    EXPECT_EQ(page->smsNumbers().batches[9], joined(1, 200) + u',');

    // Reopened: the group send starts at the emptied batch 0.
    QStringList shown;
    messages.setDialogHandler([&](QDialog *dialog) {
        auto *sms = qobject_cast<SmsWindow *>(dialog);
        sms->messageBox()->setPlainText(QStringLiteral("会员日"));
        QTest::mouseClick(sms->findChild<QPushButton *>(QStringLiteral("发送")), Qt::LeftButton);
        shown = messages.texts();
        return int(QDialog::Rejected);
    });
    messages.clear();
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 12);
    EXPECT_EQ(shown.at(1), QString());
    EXPECT_EQ(shown.at(2), QString());
    EXPECT_EQ(shown.at(3), joined(1601, 1800));
    EXPECT_EQ(page->smsNumbers().count, 0);
}

} // namespace
