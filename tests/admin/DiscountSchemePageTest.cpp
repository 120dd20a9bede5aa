// The discount scheme group of 店铺初始设置 driven by clicks and typing on the real widgets: after
// every step the shop's stored row, what the boxes show and what the user was told.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <vector>

#include "admin/AdminFixture.h"
#include "admin/ShopSettingsPage.h"
#include "platform/MessageScript.h"

using admin::ShopSettingsPage;
using admintest::AdminWorkstation;

namespace {

enum class Start { NoRow, Uniform09, ItemOwn };

struct Step
{
    const char *action; // "click <name>", "type <text>" (after the box's text), "retype <text>"
                        // (replacing it), "erase" (the box emptied with the keyboard), "bind"
    const char *stored; // 统一折扣|商品折扣 of the shop's row, "-" for no row
    const char *box;    // 编辑框4
    bool uniform;       // 选择框11 全场统一 ticked
    bool itemOwn;       // 选择框10 商品自身折扣 ticked
    const char *message; // the message box shown by the step, "" for none
    const char *mark;    // the reason marked on 编辑框4, "" for none
};

struct Sequence
{
    const char *name;
    Start start;
    std::vector<Step> steps;
};

const char *const NeedFactor = "请先填写全场统一的折扣，比如：9折 输入0.9，75折 输入0.75";
const char *const BadFactor = "折扣请填写0到1之间的小数，比如：7折 输入0.7，75折 输入0.75";
const char *const TickUniform = "勾选全场统一后，此折扣才会保存并生效";
const char *const Bound = "当前本机指定使用【A】，如果是旧店铺请重启软件读取该店铺配置信息！";

QString storedScheme(AdminWorkstation &w)
{
    const QString query = QStringLiteral("SELECT * FROM %1 WHERE 所属店铺='A' ORDER BY id").arg(w.table("折扣方案"));
    const QStringList factors = w.column(query, QStringLiteral("统一折扣"));
    if (factors.isEmpty())
        return QStringLiteral("-");
    return factors.first() + u'|' + w.column(query, QStringLiteral("商品折扣")).first();
}

void setUp(AdminWorkstation &w, Start start)
{
    if (start == Start::NoRow)
        return;
    const bool uniform = start == Start::Uniform09;
    const QString factor = uniform ? QStringLiteral("0.9") : QString();
    const QString itemOwn = uniform ? QStringLiteral("假") : QStringLiteral("真");
    ASSERT_TRUE(w.conn().execute(data::Sql(
        QStringLiteral("INSERT INTO %1 (统一折扣, 商品折扣, 自由优惠, 所属店铺) VALUES (?, ?, '假', 'A')").arg(w.table("折扣方案")),
        {factor, itemOwn})));
    w.context.discountScheme.统一折扣 = factor;
    w.context.discountScheme.商品折扣 = itemOwn;
    w.context.discountScheme.自由优惠 = QStringLiteral("假");
}

void perform(ShopSettingsPage &page, const QString &action)
{
    auto *factor = page.findChild<QLineEdit *>(QStringLiteral("编辑框4"));
    const QString verb = action.section(u' ', 0, 0);
    const QString arg = action.section(u' ', 1);
    if (verb == QStringLiteral("click")) {
        page.findChild<QAbstractButton *>(arg)->click();
    } else if (verb == QStringLiteral("type")) {
        factor->setFocus();
        factor->end(false);
        QTest::keyClicks(factor, arg);
    } else if (verb == QStringLiteral("retype") || verb == QStringLiteral("erase")) {
        factor->setFocus();
        QTest::keyClick(factor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(factor, Qt::Key_Backspace);
        QTest::keyClicks(factor, arg);
    } else if (verb == QStringLiteral("bind")) {
        auto *shops = page.findChild<QComboBox *>(QStringLiteral("店铺组合框"));
        shops->setCurrentIndex(shops->findText(QStringLiteral("A")));
        page.findChild<QPushButton *>(QStringLiteral("按钮8"))->click();
    } else {
        FAIL() << "unknown step " << action.toStdString();
    }
}

class DiscountSchemePage : public ::testing::TestWithParam<Sequence> {};

TEST_P(DiscountSchemePage, StoredRowBoxAndMessageAfterEachStep)
{
    const Sequence &sequence = GetParam();
    AdminWorkstation w;
    ADMIN_READY(w);
    setUp(w, sequence.start);
    ShopSettingsPage page(w.context);
    page.load();
    auto *factor = page.findChild<QLineEdit *>(QStringLiteral("编辑框4"));
    auto *uniform = page.findChild<QCheckBox *>(QStringLiteral("选择框11"));
    auto *itemOwn = page.findChild<QCheckBox *>(QStringLiteral("选择框10"));
    ASSERT_TRUE(factor && uniform && itemOwn);

    MessageScript script;
    for (const Step &step : sequence.steps) {
        SCOPED_TRACE(step.action);
        script.clear();
        perform(page, QString::fromUtf8(step.action));
        EXPECT_EQ(storedScheme(w), QString::fromUtf8(step.stored));
        EXPECT_EQ(factor->text(), QString::fromUtf8(step.box));
        EXPECT_EQ(uniform->isChecked(), step.uniform);
        EXPECT_EQ(itemOwn->isChecked(), step.itemOwn);
        const QString message = QString::fromUtf8(step.message);
        if (message.isEmpty())
            EXPECT_TRUE(script.texts().isEmpty()) << script.texts().join(u'|').toStdString();
        else if (message.startsWith(u'+'))
            EXPECT_EQ(script.texts(), QStringList{QString::fromUtf8(Bound) + QStringLiteral("\r\n") + message.mid(1)});
        else
            EXPECT_EQ(script.texts(), QStringList{message});
        EXPECT_EQ(factor->property("problem").toString(), QString::fromUtf8(step.mark));
        // What the cashier prices with is what is stored.
        const QString stored = storedScheme(w);
        if (stored != QStringLiteral("-"))
            EXPECT_EQ(w.context.discountScheme.统一折扣, stored.section(u'|', 0, 0));
    }
}

const Sequence sequences[] = {
    {"UniformWithAnEmptyBox", Start::NoRow, {
        {"click 选择框11", "-", "", false, false, NeedFactor, ""},
        {"click 选择框14", "|", "", false, false, "", ""}, // 允许自由优惠 makes the row
        {"type 0.8", "|", "0.8", false, false, "", TickUniform},
        {"click 选择框11", "0.8|假", "0.8", true, false, "", ""},
        {"click 选择框14", "0.8|假", "0.8", true, false, "", ""},
    }},
    {"TypedFactorThenTheItemsOwnDiscount", Start::Uniform09, {
        {"retype 0.", "0.9|假", "0.", true, false, "", BadFactor},
        {"type 85", "0.85|假", "0.85", true, false, "", ""},
        {"click 选择框10", "|真", "", false, true, "", ""},
        {"type 0.7", "|真", "0.7", false, true, "", TickUniform},
        {"click 选择框11", "0.7|假", "0.7", true, false, "", ""},
    }},
    {"RefusedTextsKeepTheFactorInForce", Start::Uniform09, {
        {"retype abc", "0.9|假", "abc", true, false, "", BadFactor},
        {"click 选择框11", "0.9|假", "0.9", true, false, BadFactor, ""},
        {"retype 7", "0.9|假", "7", true, false, "", BadFactor},
        {"erase", "0.9|假", "", true, false, "", NeedFactor},
        {"click 选择框11", "0.9|假", "0.9", true, false, NeedFactor, ""},
        {"click 选择框11", "0.9|假", "0.9", true, false, "", ""}, // a ticked box stays ticked
    }},
    {"ItemsOwnDiscountShowsNoFactor", Start::ItemOwn, {
        {"click 选择框11", "|真", "", false, true, NeedFactor, ""},
        {"click 选择框10", "|真", "", false, true, "", ""},
    }},
    {"BindWithAnEmptyBoxSetsNoFactor", Start::NoRow, {
        {"bind", "-", "", false, false, "+折扣框为空，没有设置全场统一折扣", ""},
    }},
    {"BindSetsTheTypedFactor", Start::NoRow, {
        {"type 0.85", "-", "0.85", false, false, "", TickUniform},
        {"bind", "0.85|假", "0.85", true, false, "+全场统一折扣已设为【0.85】", ""},
    }},
    {"BindSkipsAFactorThatIsNoDiscount", Start::NoRow, {
        {"type 8", "-", "8", false, false, "", BadFactor},
        {"bind", "-", "8", false, false, "+折扣框内的【8】不是0到1之间的小数，没有设置全场统一折扣", BadFactor},
    }},
    {"BindLeavesAChosenModeAlone", Start::ItemOwn, {
        {"bind", "|真", "", false, true, Bound, ""},
    }},
};

INSTANTIATE_TEST_SUITE_P(Sequences, DiscountSchemePage, ::testing::ValuesIn(sequences),
                         [](const ::testing::TestParamInfo<Sequence> &info) { return std::string(info.param.name); });

} // namespace
