// The administration pages of the settings tab on real widgets (offscreen), loaded as the tab loads
// them when they are shown, with every message box going through the script.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <QThread>
#include <gtest/gtest.h>
#include <thread>

#include "data/SqlScript.h"
#include "data/Transaction.h"

#include "lists/ReportList.h"
#include "platform/MessageScript.h"
#include "platform/NumberText.h"
#include "platform/ProgramLog.h"
#include "admin/AccountsPage.h"
#include "admin/AdminFixture.h"
#include "admin/LogPage.h"
#include "admin/RemoteSupportServer.h"
#include "admin/ShopSettingsPage.h"
#include "admin/SupportPage.h"
#include "context/OperationLog.h"
#include "support/TypeOrPaste.h"

using namespace admin;
using admintest::AdminWorkstation;

namespace {

template <typename T>
T *child(QWidget &parent, const char *name)
{
    T *w = parent.findChild<T *>(QString::fromUtf8(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void click(QWidget &parent, const char *name)
{
    if (auto *b = child<QAbstractButton>(parent, name))
        b->click();
}

TEST(ShopSettingsPageWidget, LoadsTheContextAndWritesOnClicks)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    w.context.shopSettings.销售 = QStringLiteral("2");
    w.context.shopSettings.积分模式 = AppContext::FlagOn;
    w.context.shopSettings.升级模式 = AppContext::FlagOn;
    w.context.shopSettings.上限报警 = QStringLiteral("50");
    w.context.discountScheme.统一折扣 = QStringLiteral("0.8");
    ASSERT_TRUE(w.exec(QStringLiteral("INSERT INTO %1 (通告, 所属店铺) VALUES ('旧公告', 'A')").arg(w.table("通告管理"))));

    ShopSettingsPage page(w.context);
    page.load();
    EXPECT_TRUE(child<QCheckBox>(page, "选择框17")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(page, "选择框15")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(page, "选择框13")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(page, "选择框12")->isChecked());
    EXPECT_EQ(w.context.shopSettings.积分模式, QStringLiteral("假"));
    EXPECT_TRUE(child<QCheckBox>(page, "选择框11")->isChecked());
    EXPECT_EQ(child<QLineEdit>(page, "编辑框4")->text(), QStringLiteral("0.8"));
    EXPECT_EQ(child<QLineEdit>(page, "库上")->text(), QStringLiteral("50"));
    EXPECT_EQ(child<QComboBox>(page, "店铺组合框")->count(), 2);
    EXPECT_EQ(child<QComboBox>(page, "店铺组合框")->currentText(), QString());
    // The notice box shows the stored notice, so a save cannot wipe it.
    EXPECT_EQ(child<QPlainTextEdit>(page, "编辑框10")->toPlainText(), QStringLiteral("旧公告"));

    MessageScript script;
    click(page, "选择框15");
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("销售")), QStringLiteral("0"));
    EXPECT_TRUE(child<QCheckBox>(page, "选择框15")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(page, "选择框17")->isChecked());
    click(page, "选择框15"); // a ticked box stays ticked
    EXPECT_TRUE(child<QCheckBox>(page, "选择框15")->isChecked());

    // Typing in the stock bound: each keystroke writes; a refused text shows on the box only.
    QLineEdit *upper = child<QLineEdit>(page, "库上");
    upper->clear();
    QTest::keyClicks(upper, QStringLiteral("12"));
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("上限报警")), QStringLiteral("12"));
    QTest::keyClicks(upper, QStringLiteral(" --"));
    EXPECT_EQ(w.shopValue(QStringLiteral("A"), QStringLiteral("上限报警")), QStringLiteral("12"));
    EXPECT_EQ(upper->property("problem").toString(), QStringLiteral("库存上限只能填写整数！"));

    QLineEdit *factor = child<QLineEdit>(page, "编辑框4");
    factor->clear();
    QTest::keyClicks(factor, QStringLiteral("0."));
    EXPECT_FALSE(factor->property("problem").toString().isEmpty());
    EXPECT_EQ(w.context.discountScheme.统一折扣, QStringLiteral("0.8"));
    EXPECT_TRUE(script.messages().isEmpty()) << qPrintable(script.texts().join(u'|'));

    w.context.shopSettings.升级模式 = AppContext::FlagOff;
    click(page, "选择框18");
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("请先勾选启用积分+升级模式")});
    EXPECT_FALSE(child<QCheckBox>(page, "选择框18")->isChecked());
}

TEST(ShopSettingsPageWidget, AddBindAndDeleteShops)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    w.context.currentShop.clear();
    ShopSettingsPage page(w.context);
    page.load();
    QString bound;
    QObject::connect(&page, &ShopSettingsPage::workstationShopChanged, [&](const QString &shop) { bound = shop; });

    MessageScript script;
    child<QLineEdit>(page, "编辑框3")->setText(QStringLiteral("总店"));
    click(page, "添加店铺名");
    click(page, "添加店铺名");
    EXPECT_EQ(script.texts(), (QStringList{QStringLiteral("添加成功！"), QStringLiteral("店铺名【总店】已经存在，请换个店铺添加")}));
    QComboBox *combo = child<QComboBox>(page, "店铺组合框");
    ASSERT_EQ(combo->count(), 3);

    script.clear();
    combo->setCurrentIndex(2);
    click(page, "按钮8");
    // No factor is in force, so the box is empty and no uniform discount is set; the user is told.
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("当前本机指定使用【总店】，如果是旧店铺请重启软件读取该店铺配置信息！\r\n"
                                                         "折扣框为空，没有设置全场统一折扣")});
    EXPECT_EQ(bound, QStringLiteral("总店"));
    EXPECT_TRUE(child<QCheckBox>(page, "选择框20")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(page, "选择框11")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(page, "选择框15")->isChecked());

    script.clear();
    script.queueAnswers({false});
    click(page, "删除店铺");
    ASSERT_EQ(script.messages().size(), 1);
    EXPECT_EQ(script.messages()[0].title, QStringLiteral("删除店铺"));
    EXPECT_EQ(script.messages()[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(script.messages()[0].question);
    EXPECT_EQ(w.count(QStringLiteral("SELECT * FROM %1").arg(w.table("店铺名"))), 3);
    combo->setCurrentIndex(2);
    script.queueAnswers({true});
    click(page, "删除店铺");
    EXPECT_EQ(w.count(QStringLiteral("SELECT * FROM %1").arg(w.table("店铺名"))), 2);
    EXPECT_EQ(w.context.currentShop, QStringLiteral("总店"));
}

TEST(AccountsPageWidget, StaleSelectionNeverRewritesTheAdministrator)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    ASSERT_TRUE(w.exec(QStringLiteral("UPDATE %1 SET 所属店铺='A'").arg(w.table("帐号管理"))));
    AccountsPage page(w.context);
    page.load();
    ReportList *list = page.accountList();
    ASSERT_EQ(list->rowCount(), 1);
    const QString query = QStringLiteral("SELECT * FROM %1 ORDER BY id").arg(w.table("帐号管理"));
    const QStringList namesBefore = w.column(query, QStringLiteral("姓名"));

    MessageScript script;
    list->selectRow(0);
    EXPECT_EQ(child<QLineEdit>(page, "帐号8")->text(), QStringLiteral("admin"));
    child<QLineEdit>(page, "密码8")->setText(QStringLiteral("s3cret"));
    child<QLineEdit>(page, "姓名8")->setText(QStringLiteral("坏人"));
    click(page, "按钮27"); // clear every right box
    click(page, "按钮10");
    EXPECT_EQ(w.column(query, QStringLiteral("密码")), QStringList{QStringLiteral("s3cret")});
    EXPECT_EQ(w.column(query, QStringLiteral("姓名")), namesBefore);
    EXPECT_EQ(w.column(query, QStringLiteral("系统设置")), QStringList{QStringLiteral("√")});
    // The list reloaded and lost its selection: a second 修改 changes nothing.
    click(page, "按钮10");
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("请先在列表中选择要修改的帐号！")});
    EXPECT_EQ(w.column(query, QStringLiteral("姓名")), namesBefore);
    EXPECT_EQ(w.column(query, QStringLiteral("系统设置")), QStringList{QStringLiteral("√")});

    // A new account of this shop with some rights.
    script.clear();
    child<QLineEdit>(page, "帐号8")->setText(QStringLiteral("li"));
    child<QLineEdit>(page, "密码8")->setText(QStringLiteral("1"));
    child<QLineEdit>(page, "姓名8")->setText(QStringLiteral("李"));
    click(page, "选择框1");
    click(page, "按钮7");
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("新帐号添加成功！")});
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->cellText(1, 6), QStringLiteral("√"));
    EXPECT_EQ(list->cellText(1, 7), QString());

    script.clear();
    list->selectRow(0);
    click(page, "删帐号");
    list->selectRow(1);
    click(page, "删帐号");
    EXPECT_EQ(script.texts(), (QStringList{QStringLiteral("管理员帐号不允许删除！"), QStringLiteral("删除成功！")}));
    EXPECT_EQ(list->rowCount(), 1);
}

TEST(ShopSettingsPageWidget, TheStoredFactorIsAlwaysShownAsTheUniformMode)
{
    struct Case
    {
        const char *factor;
        const char *itemOwn;
        bool uniformTicked;
        bool itemOwnTicked;
        bool factorMarked;
    };
    // Old data may hold a factor together with the item's own discount: the cashier applies the
    // factor then, so the page must show it ticked. A factor that is no discount is marked.
    const Case cases[] = {
        {"0.8", "真", true, true, false},
        {"0.8", "假", true, false, false},
        {"", "真", false, true, false},
        {"7", "假", true, false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.factor);
        AdminWorkstation w;
        ADMIN_READY(w);
        w.context.discountScheme.统一折扣 = QString::fromUtf8(c.factor);
        w.context.discountScheme.商品折扣 = QString::fromUtf8(c.itemOwn);
        ShopSettingsPage page(w.context);
        page.load();
        EXPECT_EQ(child<QCheckBox>(page, "选择框11")->isChecked(), c.uniformTicked);
        EXPECT_EQ(child<QCheckBox>(page, "选择框10")->isChecked(), c.itemOwnTicked);
        EXPECT_EQ(child<QLineEdit>(page, "编辑框4")->property("problem").toString().isEmpty(), !c.factorMarked);
    }
}

// A promotion's 满 or 减 with more digits than money has is refused, typed or pasted: nothing is
// added or changed and the boxes keep what was typed.
TEST(ShopSettingsPageWidget, PromotionAmountsBeyondTheCeilingAreRefusedTypedOrPasted)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    ShopSettingsPage page(w.context);
    page.load();
    auto *list = child<ReportList>(page, "超级列表框13");
    auto *threshold = child<QLineEdit>(page, "满");
    auto *reduction = child<QLineEdit>(page, "送");
    child<QDateEdit>(page, "截止时间x")->setDate(QDate(2015, 8, 11));
    MessageScript script;
    threshold->setText(QStringLiteral("300"));
    reduction->setText(QStringLiteral("30"));
    click(page, "新增x");
    ASSERT_EQ(list->rowCount(), 1);

    const QString inputs[] = {QString(400, u'9'), QStringLiteral("123456789012345"), QStringLiteral("6901234567892\n")};
    for (const char *button : {"新增x", "修改x"}) {
        for (QLineEdit *box : {threshold, reduction}) {
            for (const QString &input : inputs) {
                for (const bool pasted : {false, true}) {
                    SCOPED_TRACE(std::string(button) + ' ' + box->objectName().toStdString()
                                 + (pasted ? " pasted " : " typed ") + input.left(20).toStdString());
                    list->selectRow(0);
                    script.clear();
                    const QString digits = QString(input).remove(u'\n');
                    box->clear();
                    testsupport::typeOrPaste(box, input, pasted);
                    click(page, button);
                    EXPECT_EQ(script.texts(), QStringList{moneyCeilingText()});
                    ASSERT_EQ(list->rowCount(), 1);
                    EXPECT_EQ(list->cellText(0, 1), QStringLiteral("300"));
                    EXPECT_EQ(list->cellText(0, 2), QStringLiteral("30"));
                    EXPECT_EQ(box->text(), digits);
                }
            }
        }
    }
    EXPECT_EQ(w.column(QStringLiteral("SELECT * FROM %1").arg(w.table("满额促销")), QStringLiteral("满")),
              QStringList{QStringLiteral("300")});
}

TEST(ShopSettingsPageWidget, PromotionsAndTheNoticeThroughThePage)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    ASSERT_TRUE(w.exec(QStringLiteral("INSERT INTO %1 (满, 送, 截止时间, 所属店铺) VALUES ('100', '10', '2015-01-01', 'B')")
                           .arg(w.table("满额促销"))));
    ShopSettingsPage page(w.context);
    page.load();
    auto *list = child<ReportList>(page, "超级列表框13");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->rowCount(), 0); // only this shop's promotions

    MessageScript script;
    auto *threshold = child<QLineEdit>(page, "满");
    auto *reduction = child<QLineEdit>(page, "送");
    auto *date = child<QDateEdit>(page, "截止时间x");
    threshold->setText(QStringLiteral("300"));
    reduction->setText(QStringLiteral("30"));
    date->setDate(QDate(2015, 8, 11));
    click(page, "新增x");
    threshold->setText(QStringLiteral("500"));
    reduction->setText(QStringLiteral("60"));
    date->setDate(QDate(2000, 1, 9));
    click(page, "新增x");
    EXPECT_TRUE(script.texts().isEmpty()) << qPrintable(script.texts().join(u'|'));
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->cellText(0, 3), QStringLiteral("2015-08-11"));
    EXPECT_EQ(list->cellText(1, 3), QStringLiteral("2000-01-09"));

    // 修改 with no row selected changes nothing.
    click(page, "修改x");
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("请先在列表中选择要修改的促销！")});

    // Selecting a row brings its values and date back; 修改 keeps the row's ID.
    script.clear();
    const QString firstId = list->cellText(0, 0);
    list->selectRow(0);
    EXPECT_EQ(threshold->text(), QStringLiteral("300"));
    EXPECT_EQ(reduction->text(), QStringLiteral("30"));
    EXPECT_EQ(date->date(), QDate(2015, 8, 11));
    reduction->setText(QStringLiteral("50"));
    date->setDate(QDate(2015, 12, 1));
    click(page, "修改x");
    EXPECT_TRUE(script.texts().isEmpty()) << qPrintable(script.texts().join(u'|'));
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ((QStringList{list->cellText(0, 0), list->cellText(0, 1), list->cellText(0, 2), list->cellText(0, 3)}),
              (QStringList{firstId, QStringLiteral("300"), QStringLiteral("50"), QStringLiteral("2015-12-01")}));

    // A threshold without its reduction is refused and nothing is added.
    reduction->clear();
    click(page, "新增x");
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("满和减请填写整数，满必须大于0！")});
    EXPECT_EQ(list->rowCount(), 2);

    // The notice: saved with its message, the stored text kept exactly.
    script.clear();
    const QString notice = QStringLiteral("店庆 'VIP', 满300=减50");
    child<QPlainTextEdit>(page, "编辑框10")->setPlainText(notice);
    click(page, "按钮3");
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("公告修改成功！")});
    EXPECT_EQ(w.column(QStringLiteral("SELECT * FROM %1").arg(w.table("通告管理")), QStringLiteral("通告")),
              QStringList{notice});
    // An emptied box never wipes the stored notice.
    script.clear();
    child<QPlainTextEdit>(page, "编辑框10")->clear();
    click(page, "按钮3");
    ASSERT_EQ(script.texts().size(), 1);
    EXPECT_NE(script.texts().first(), QStringLiteral("公告修改成功！"));
    EXPECT_EQ(w.column(QStringLiteral("SELECT * FROM %1").arg(w.table("通告管理")), QStringLiteral("通告")),
              QStringList{notice});
}

TEST(LogPageWidget, MonthShownOnFirstVisitAllOnRequestAndDeleteAfterYes)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    const struct { const char *time; const char *shop; } rows[] = {
        {"2015-02-28 23:1", "A"}, {"2015-03-01 9:5", "A"}, {"2015-03-10 10:10", "B"}, {"2015-03-31 23:59", "A"}};
    for (const auto &r : rows)
        ASSERT_TRUE(w.conn().execute(oplog::logRowSql(w.conn().dialect(), QString::fromUtf8(r.shop), QStringLiteral("u"),
                                                     QStringLiteral("x"), QString::fromUtf8(r.time))));
    w.context.today = DateParts{QStringLiteral("2015"), QStringLiteral("03"), QStringLiteral("11"), {}, {}};
    LogPage page(w.context);
    page.load();
    ReportList *list = page.logList();
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->cellText(0, 4), QStringLiteral("2015-03-01 9:5"));
    EXPECT_EQ(list->cellText(1, 4), QStringLiteral("2015-03-31 23:59"));
    EXPECT_TRUE(list->isColumnHidden(0));

    click(page, "所有日志");
    EXPECT_EQ(list->rowCount(), 3);
    // Coming back to the page keeps what the list shows.
    page.load();
    EXPECT_EQ(list->rowCount(), 3);

    MessageScript script;
    script.queueAnswers({false});
    click(page, "所有日志1");
    EXPECT_EQ(w.count(QStringLiteral("SELECT * FROM %1").arg(w.table("日志记录"))), 4);
    script.queueAnswers({true});
    click(page, "所有日志1");
    EXPECT_EQ(list->rowCount(), 0);
    EXPECT_EQ(w.count(QStringLiteral("SELECT * FROM %1").arg(w.table("日志记录"))), 1); // shop B's row stays
    EXPECT_EQ(script.messages().size(), 2); // the two questions, no other message
}

TEST(SupportPageWidget, SendsListsAndKeepsATextThatWasNotSent)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    testsupport::TestDatabase remote(data::Backend::Postgres, testsupport::TestDatabase::Empty);
    ASSERT_TRUE(remote.ok()) << qPrintable(remote.error());
    ASSERT_TRUE(data::runSqlScript(remote.connection(), QStringLiteral(SHOPDESK_SOURCE_DIR "/db/remote.sql")));
    ASSERT_TRUE(remote.connection().execute(data::Sql(QStringLiteral(
        "INSERT INTO b支持消息 (工作站, 发送消息, 发送时间, 回复消息, 回复时间) VALUES "
        "('ws1', '第一条问题', '2015-03-01', '已经修好了', '2015-03-02'), ('ws2', '别人的问题', '2015-03-01', '', '')"))));
    w.context.today = DateParts{QStringLiteral("2015"), QStringLiteral("03"), QStringLiteral("11"), {}, {}};

    admin::RemoteSupportServer server;
    SupportPage page(w.context);
    page.setServerOpener([&](admin::RemoteSupportServer &s) { return s.open(remote.serverSettings()); });
    page.setSupportServer(&server, QStringLiteral("ws1"));
    page.loadSupportMessages();
    ReportList *list = page.messageList();
    ASSERT_EQ(list->rowCount(), 1); // only this workstation's messages
    EXPECT_EQ(list->cellText(0, 3), QStringLiteral("已经修好了"));

    MessageScript script;
    auto *box = child<QPlainTextEdit>(page, "编辑框12");
    const QString han = QStringLiteral("问");
    box->setPlainText(han.repeated(9) + u'a'); // 19 bytes
    click(page, "按钮21");
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("少于10个汉字不能提交！")});
    EXPECT_EQ(box->toPlainText(), han.repeated(9) + u'a');
    EXPECT_EQ(list->rowCount(), 1);

    script.clear();
    const QString text = QStringLiteral("价格'错了', 1=2 ") + han.repeated(10);
    box->setPlainText(text);
    click(page, "按钮21");
    EXPECT_TRUE(script.texts().isEmpty()) << qPrintable(script.texts().join(u'|'));
    EXPECT_TRUE(box->toPlainText().isEmpty());
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->cellText(1, 1), text);
    EXPECT_EQ(list->cellText(1, 2), QStringLiteral("2015-03-11"));
    EXPECT_EQ(list->cellText(1, 3), QString());

    // A double click with no row selected opens nothing; on a row it opens the message with its reply.
    list->clearSelection();
    list->setCurrentIndex(QModelIndex());
    Q_EMIT list->doubleClicked(list->model()->index(0, 1));
    EXPECT_TRUE(script.dialogs().isEmpty());
    QStringList shown;
    script.setDialogHandler([&](QDialog *d) {
        for (const char *name : {"编辑框1", "编辑框2"})
            shown << d->findChild<QPlainTextEdit *>(QString::fromUtf8(name))->toPlainText();
        return int(QDialog::Accepted);
    });
    list->selectRow(0);
    Q_EMIT list->doubleClicked(list->model()->index(0, 1));
    EXPECT_EQ(script.dialogs(), QStringList{QStringLiteral("MessageDetailWindow")});
    EXPECT_EQ(shown, (QStringList{QStringLiteral("第一条问题"), QStringLiteral("已经修好了")}));

    // The server gone: the message is not lost, and the user is told.
    script.clear();
    page.setServerOpener([](admin::RemoteSupportServer &) { return false; });
    server.close();
    box->setPlainText(text);
    click(page, "按钮21");
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("消息没有发送成功，请检查网络或支持服务器设置后重试！")});
    EXPECT_EQ(box->toPlainText(), text);
}

// The support server is asked again at every showing of the page and at 刷新: a read that fails is
// said and logged, and the list keeps what it showed.
TEST(SupportPageWidget, AFailedReadIsSaidKeepsTheListAndIsTriedAgain)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    testsupport::TestDatabase remote(data::Backend::Postgres, testsupport::TestDatabase::Empty);
    ASSERT_TRUE(remote.ok()) << qPrintable(remote.error());
    ASSERT_TRUE(data::runSqlScript(remote.connection(), QStringLiteral(SHOPDESK_SOURCE_DIR "/db/remote.sql")));
    auto addMessage = [&](const char *text) {
        return remote.connection().execute(data::Sql(
            QStringLiteral("INSERT INTO b支持消息 (工作站, 发送消息, 发送时间, 回复消息, 回复时间) VALUES ('ws1', ?, '2015-03-01', '', '')"),
            {QString::fromUtf8(text)}));
    };
    ASSERT_TRUE(addMessage("第一条问题"));
    QTemporaryDir logDir;
    const QString previousLog = programlog::path();
    programlog::setPath(logDir.filePath(QStringLiteral("log.txt")));
    auto logText = [&] {
        QFile file(logDir.filePath(QStringLiteral("log.txt")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };

    data::ServerSettings unreachable = remote.serverSettings();
    unreachable.port = QStringLiteral("1"); // nothing listens there
    bool reachable = false;
    int opens = 0;
    admin::RemoteSupportServer server;
    SupportPage page(w.context);
    page.setServerOpener([&](admin::RemoteSupportServer &s) {
        ++opens;
        return s.open(reachable ? remote.serverSettings() : unreachable);
    });
    page.setSupportServer(&server, QStringLiteral("ws1"));
    ReportList *list = page.messageList();
    const QString failed = QStringLiteral("支持消息读取失败，请检查网络或支持服务器设置后点【刷新】重试！");

    MessageScript script;
    page.loadSupportMessages(); // the page is shown
    EXPECT_EQ(script.texts(), QStringList{failed});
    EXPECT_EQ(list->rowCount(), 0);
    EXPECT_TRUE(logText().contains(QStringLiteral("127.0.0.1:1/"))) << logText().toStdString();

    // 刷新 tries again.
    script.clear();
    reachable = true;
    click(page, "按钮18");
    EXPECT_TRUE(script.texts().isEmpty()) << qPrintable(script.texts().join(u'|'));
    ASSERT_EQ(list->rowCount(), 1);
    EXPECT_EQ(opens, 2);

    // The server drops the connection while the page reads: the showing says so and keeps the
    // list. (Dropped while the page is idle, the connection is found lost before the read and opened
    // again quietly; here the read itself meets the loss.) The read waits on a lock the test holds
    // until the session is ended.
    data::RecordSet pid(server.connection());
    ASSERT_TRUE(pid.open(data::Sql(QStringLiteral("SELECT pg_backend_pid() AS pid"))));
    const qint64 pagePid = pid.integer(QStringLiteral("pid"));
    ASSERT_TRUE(addMessage("第二条问题"));
    data::Transaction hold = remote.connection().transaction();
    ASSERT_TRUE(remote.connection().execute(data::Sql(QStringLiteral("LOCK TABLE b支持消息 IN ACCESS EXCLUSIVE MODE"))));
    bool ended = false;
    std::thread serverSide([&] {
        data::Connection admin;
        if (!remote.openAnother(admin))
            return;
        for (int poll = 0; poll < 3000; ++poll) {
            data::RecordSet waiting(admin);
            if (!waiting.open(data::Sql(QStringLiteral("SELECT count(*) FROM pg_locks WHERE pid = CAST(? AS integer) AND NOT granted"),
                                        {pagePid})))
                break;
            if (waiting.integer(0) > 0) {
                ended = testsupport::TestDatabase::endSession(admin, pagePid);
                break;
            }
            QThread::msleep(5);
        }
        admin.close();
    });
    page.loadSupportMessages();
    serverSide.join();
    hold.rollback();
    ASSERT_TRUE(ended) << "the page's read never waited on the lock";
    EXPECT_EQ(script.texts(), QStringList{failed});
    EXPECT_EQ(list->rowCount(), 1);

    // Coming back to the page opens the server afresh.
    script.clear();
    page.loadSupportMessages();
    EXPECT_TRUE(script.texts().isEmpty()) << qPrintable(script.texts().join(u'|'));
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->cellText(1, 1), QStringLiteral("第二条问题"));
    EXPECT_EQ(opens, 3);
    programlog::setPath(previousLog);
}

// Without a support server configured (no workstation key) the page asks nothing and says nothing.
TEST(SupportPageWidget, WithoutASupportServerNothingIsAskedOrSaid)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    admin::RemoteSupportServer server;
    SupportPage page(w.context);
    int opens = 0;
    page.setServerOpener([&](admin::RemoteSupportServer &) {
        ++opens;
        return false;
    });
    page.setSupportServer(&server, QString());
    MessageScript script;
    page.loadSupportMessages();
    click(page, "按钮18");
    EXPECT_EQ(opens, 0);
    EXPECT_TRUE(script.texts().isEmpty());
    EXPECT_EQ(page.messageList()->rowCount(), 0);
}

// The shop combo of the account form is empty when first shown; a long shop name added later still fits.
TEST(AccountsPageWidget, TheShopComboGrowsWithTheShopNames)
{
    AdminWorkstation w;
    ADMIN_READY(w);
    AccountsPage page(w.context);
    page.resize(1100, 600);
    page.show();
    page.load();
    QApplication::processEvents();
    const QString name = QStringLiteral("朝阳区第二分店旗舰");
    ASSERT_TRUE(w.exec(QStringLiteral("INSERT INTO %1 (店名) VALUES ('%2')").arg(w.table("店铺名"), name)));
    page.load();
    QApplication::processEvents();
    auto *combo = child<QComboBox>(page, "店铺组8");
    ASSERT_NE(combo, nullptr);
    EXPECT_GE(combo->width(), combo->fontMetrics().horizontalAdvance(name));
}

} // namespace
