// The member page on SQLite: the number batches of a fill, the header sorts, the four searches,
// the tier combo of a selection, editing and its guards, adding and the card check on leaving the
// card box.
#include "MemberFixture.h"

#include "members/MemberAdjustPanel.h"
#include "members/MemberList.h"
#include "platform/NumberText.h"
#include "support/RealKeys.h"
#include "support/TypeOrPaste.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace members;
using membertest::SqliteMemberFixture;

namespace {

class MemberPageTest : public SqliteMemberFixture {
protected:
    void SetUp() override { SqliteMemberFixture::SetUp(); }

    QLineEdit *field(const char *name) { return page->findChild<QLineEdit *>(QString::fromUtf8(name)); }
    QComboBox *tierCombo() { return page->findChild<QComboBox *>(QStringLiteral("会员类别3")); }
    void click(const char *name)
    {
        auto *b = page->findChild<QPushButton *>(QString::fromUtf8(name));
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void clickHeader(int column)
    {
        QHeaderView *header = page->list()->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    int rowOfCard(const QString &card) { return int(column(1).indexOf(card)); }
    QStringList memberRows(const QStringList &columns)
    {
        return rows(QStringLiteral("SELECT * FROM [会员管理] ORDER BY id"), columns);
    }
    int logRows() { return int(rows(QStringLiteral("SELECT * FROM [日志记录]"), {QStringLiteral("id")}).size()); }
};

// -- number batches ---------------------------------------------------------------------------

struct BatchCase {
    const char *name;
    int withMobile;
    int withoutMobile;
    int count;
    std::array<int, 11> batchSizes; // numbers per batch
    int firstOfBatch8;              // which number (1-based) opens batch 8; 0 when it is empty
};

class SmsBatches : public MemberPageTest, public ::testing::WithParamInterface<BatchCase> {};

TEST_P(SmsBatches, FillGathersMobilesInBatchesOfTwoHundred)
{
    const BatchCase &c = SmsBatches::GetParam();
    {
        data::Transaction tx = db().transaction();
        for (int i = 1; i <= c.withMobile + c.withoutMobile; ++i)
            member(QStringLiteral("C%1").arg(i), QStringLiteral("A"), QString(),
                   i <= c.withMobile ? QStringLiteral("13%1").arg(i, 9, 10, QChar(u'0')) : QString());
        ASSERT_TRUE(tx.commit());
    }
    openPage();
    EXPECT_EQ(page->list()->rowCount(), c.withMobile + c.withoutMobile);
    const SmsNumbers &sms = page->smsNumbers();
    EXPECT_EQ(sms.count, c.count);
    for (int b = 0; b < 11; ++b)
        EXPECT_EQ(sms.batches[b].count(u','), c.batchSizes[b]) << "batch " << b;
    EXPECT_TRUE(sms.batches[9].startsWith(QStringLiteral("13000000001,")));
    if (c.firstOfBatch8) {
        EXPECT_TRUE(sms.batches[8].startsWith(QStringLiteral("13%1,").arg(c.firstOfBatch8, 9, 10, QChar(u'0'))));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Members, SmsBatches,
    ::testing::Values(BatchCase{"Mobiles200", 200, 0, 200, {0, 0, 0, 0, 0, 0, 0, 0, 0, 200, 0}, 0},
                      BatchCase{"Mobiles201", 201, 0, 201, {0, 0, 0, 0, 0, 0, 0, 0, 1, 200, 0}, 201},
                      BatchCase{"Mobiles2000", 2000, 0, 2000, {200, 200, 200, 200, 200, 200, 200, 200, 200, 200, 0}, 201},
                      BatchCase{"Mobiles2500", 2500, 0, 2500, {200, 200, 200, 200, 200, 200, 200, 200, 200, 200, 0}, 201},
                      BatchCase{"SomeWithoutMobile", 3, 2, 3, {0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0}, 0}),
    [](const auto &info) { return std::string(info.param.name); });

// -- sorts ------------------------------------------------------------------------------------

struct SortCase {
    const char *name;
    std::vector<int> clicks;
    QStringList cards; // list order after the clicks
};

class MemberSorts : public MemberPageTest, public ::testing::WithParamInterface<SortCase> {};

TEST_P(MemberSorts, HeaderClicksOrderByNumberWithSharedToggle)
{
    // Spending, points and stored value in an order that text order would get wrong.
    member(QStringLiteral("K1"), QStringLiteral("A"), {}, {}, QStringLiteral("银卡"), QStringLiteral("100"), QStringLiteral("9"), QStringLiteral("10.5"));
    member(QStringLiteral("K2"), QStringLiteral("A"), {}, {}, QStringLiteral("金卡"), QStringLiteral("9"), QStringLiteral("100"), QStringLiteral("9"));
    member(QStringLiteral("K3"), QStringLiteral("A"), {}, {}, QStringLiteral("普通"), QStringLiteral("10"), QStringLiteral("10"), QStringLiteral("100"));
    member(QStringLiteral("KB"), QStringLiteral("B"), {}, {}, QStringLiteral("普通"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"));
    openPage();
    for (int c : GetParam().clicks)
        clickHeader(c);
    EXPECT_EQ(column(1), GetParam().cards);
}

INSTANTIATE_TEST_SUITE_P(
    Members, MemberSorts,
    ::testing::Values(
        SortCase{"SpendAscending", {5}, {"K2", "K3", "K1"}},
        SortCase{"SpendTwiceDescending", {5, 5}, {"K1", "K3", "K2"}},
        SortCase{"PointsAscending", {6}, {"K1", "K3", "K2"}},
        SortCase{"StoredValueAscending", {7}, {"K2", "K1", "K3"}},
        SortCase{"PointsAfterTierAscendingSortsDescending", {3, 6}, {"K2", "K3", "K1"}},
        SortCase{"SpendKeepsItsOwnToggle", {6, 5}, {"K2", "K3", "K1"}},
        SortCase{"TierByName", {3}, {"K3", "K2", "K1"}}, // 普通 < 金卡 < 银卡 by code point
        SortCase{"IdDoesNothing", {0}, {"K1", "K2", "K3"}},
        SortCase{"CardDoesNothing", {1}, {"K1", "K2", "K3"}}),
    [](const auto &info) { return std::string(info.param.name); });

// -- searches ---------------------------------------------------------------------------------

struct SearchCase {
    const char *name;
    bool sharing;
    const char *field; // the form control the search reads
    const char *button;
    QString text;
    QStringList cards;
};

class MemberSearches : public MemberPageTest, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(MemberSearches, FindTheScopesMembersContainingTheText)
{
    const SearchCase &c = GetParam();
    member(QStringLiteral("VIP01"), QStringLiteral("A"), QStringLiteral("王芳"), QStringLiteral("13800001111"), QStringLiteral("金卡"));
    member(QStringLiteral("vip02"), QStringLiteral("A"), QStringLiteral("O'Neil"), QStringLiteral("13900002222"), QStringLiteral("银卡"));
    member(QStringLiteral("50%off"), QStringLiteral("A"), QStringLiteral("李_四"), QStringLiteral("13700003333"), QStringLiteral("普通"));
    member(QStringLiteral("VIP03"), QStringLiteral("B"), QStringLiteral("王五"), QStringLiteral("13800004444"), QStringLiteral("金卡"));
    ctx().shopSettings.会员共享 = c.sharing ? AppContext::FlagOn : AppContext::FlagOff;
    openPage();
    if (QString::fromUtf8(c.field) == u"会员类别3")
        tierCombo()->setCurrentIndex(tierCombo()->findText(c.text));
    else
        field(c.field)->setText(c.text);
    click(c.button);
    EXPECT_EQ(column(1), c.cards);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'/').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Members, MemberSearches,
    ::testing::Values(
        SearchCase{"CardIgnoresCaseInShop", false, "会员卡号3", "会员卡号查", "vip", {"VIP01", "vip02"}},
        SearchCase{"CardAllShopsWhenShared", true, "会员卡号3", "会员卡号查", "VIP", {"VIP01", "vip02", "VIP03"}},
        SearchCase{"PercentStandsForItself", true, "会员卡号3", "会员卡号查", "%", {"50%off"}},
        SearchCase{"PhoneInShopOnly", false, "手机3", "会员手机查", "138", {"VIP01"}},
        SearchCase{"PhoneAllShopsWhenShared", true, "手机3", "会员手机查", "138", {"VIP01", "VIP03"}},
        SearchCase{"NameWithQuote", false, "会员姓名3", "会员姓名查", "O'N", {"vip02"}},
        SearchCase{"UnderscoreStandsForItself", true, "会员姓名3", "会员姓名查", "_", {"50%off"}},
        SearchCase{"NameAllShopsWhenShared", true, "会员姓名3", "会员姓名查", "王", {"VIP01", "VIP03"}},
        SearchCase{"EmptyNameListsTheScope", false, "会员姓名3", "会员姓名查", "", {"VIP01", "vip02", "50%off"}},
        SearchCase{"TierInShop", false, "会员类别3", "会员姓名查1", "金卡", {"VIP01"}},
        SearchCase{"TierAllShopsWhenShared", true, "会员类别3", "会员姓名查1", "金卡", {"VIP01", "VIP03"}}),
    [](const auto &info) { return std::string(info.param.name); });

// -- selection --------------------------------------------------------------------------------

TEST_F(MemberPageTest, SelectionFillsTheFormAndPicksTheTierItem)
{
    const QString silver = member(QStringLiteral("S1"), QStringLiteral("A"), QStringLiteral("赵"), QStringLiteral("135"), QStringLiteral("银卡"), QStringLiteral("88"), QStringLiteral("7"));
    member(QStringLiteral("G1"), QStringLiteral("A"), QStringLiteral("钱"), {}, QStringLiteral("金卡"));
    member(QStringLiteral("X1"), QStringLiteral("A"), QStringLiteral("孙"), {}, QStringLiteral("旧等级"));
    openPage();
    QSignalSpy selected(page.get(), &MemberPage::memberSelected);
    QStringList historyCards;
    page->loadMemberPurchaseHistory = [&](const QString &card) { historyCards << card; };

    const struct {
        const char *card;
        int tierItem; // combo item after the selection
    } cases[] = {{"S1", 1}, {"G1", 2}, {"X1", 2} /* unknown tier: the combo stays */};
    for (const auto &c : cases) {
        page->list()->selectRow(rowOfCard(QString::fromUtf8(c.card)));
        EXPECT_EQ(field("会员卡号3")->text(), QString::fromUtf8(c.card));
        EXPECT_EQ(tierCombo()->currentIndex(), c.tierItem) << c.card;
    }
    page->list()->selectRow(rowOfCard(QStringLiteral("S1")));
    EXPECT_EQ(field("会员姓名3")->text(), QStringLiteral("赵"));
    EXPECT_EQ(field("手机3")->text(), QStringLiteral("135"));
    EXPECT_EQ(field("消费金额3")->text(), QStringLiteral("88"));
    EXPECT_EQ(field("积分3")->text(), QStringLiteral("7"));
    ASSERT_FALSE(selected.isEmpty());
    EXPECT_EQ(selected.last(), (QVariantList{silver, QStringLiteral("S1")}));
    EXPECT_EQ(historyCards, (QStringList{"S1", "G1", "X1", "S1"}));

    // A refill empties the selection: the form is cleared and no member is looked up.
    click("会员姓名查");
    EXPECT_EQ(page->list()->selectedRow(), -1);
    EXPECT_EQ(field("会员卡号3")->text(), QString());
    EXPECT_EQ(selected.last(), (QVariantList{QString(), QString()}));
    EXPECT_EQ(historyCards.size(), 4);
}

TEST_F(MemberPageTest, AdjustmentsFollowTheSelectionAndShowTheStoredFiguresInTheList)
{
    member(QStringLiteral("S1"), QStringLiteral("A"), QStringLiteral("赵"), {}, QStringLiteral("银卡"), QStringLiteral("88"), QStringLiteral("7"), QStringLiteral("50.5"));
    member(QStringLiteral("G1"), QStringLiteral("A"), QStringLiteral("钱"), {}, QStringLiteral("金卡"), QStringLiteral("10"), QStringLiteral("3"));
    openPage();
    auto *panel = page->adjustPanel();
    auto *history = panel->findChild<ReportList *>(QStringLiteral("超级列表框4"));
    ASSERT_TRUE(history);

    page->list()->selectRow(rowOfCard(QStringLiteral("S1")));
    panel->findChild<QLineEdit *>(QStringLiteral("增加积分4"))->setText(QStringLiteral("30"));
    panel->findChild<QLineEdit *>(QStringLiteral("增加储值4"))->setText(QStringLiteral("100"));
    QTest::mouseClick(panel->findChild<QPushButton *>(QStringLiteral("积分调整")), Qt::LeftButton);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u';').toStdString();

    const int row = rowOfCard(QStringLiteral("S1"));
    EXPECT_EQ(page->list()->cellText(row, 6), QStringLiteral("37"));
    EXPECT_EQ(page->list()->cellText(row, 7), QStringLiteral("150.5"));
    EXPECT_EQ(page->list()->cellText(rowOfCard(QStringLiteral("G1")), 6), QStringLiteral("3"));
    EXPECT_EQ(history->rowCount(), 1);

    // Another member shows its own (empty) history; a refill that empties the selection empties it too.
    page->list()->selectRow(rowOfCard(QStringLiteral("G1")));
    EXPECT_EQ(history->rowCount(), 0);
    page->list()->selectRow(rowOfCard(QStringLiteral("S1")));
    EXPECT_EQ(history->rowCount(), 1);
    click("会员姓名查");
    EXPECT_EQ(history->rowCount(), 0);
}

// -- editing ----------------------------------------------------------------------------------

TEST_F(MemberPageTest, EditWritesTheFourFieldsExactlyAndTheListRow)
{
    member(QStringLiteral("E1"), QStringLiteral("A"), QStringLiteral("旧名"), QStringLiteral("111"), QStringLiteral("银卡"), QStringLiteral("50"), QStringLiteral("5"));
    openPage();
    page->list()->selectRow(0);
    field("会员姓名3")->setText(QStringLiteral("O'Brien"));
    field("手机3")->setText(QStringLiteral("222"));
    field("本年生日3")->setText(QStringLiteral("0815"));
    field("备注3")->setText(QStringLiteral("VIP,老客户=a'b"));
    field("消费金额3")->setText(QStringLiteral("999")); // not editable here
    click("修改会员");
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("修改成功！！！\r\n只允许修改姓名、手机、生日、备注！")});
    EXPECT_EQ(memberRows({"会员卡号", "会员姓名", "手机", "本年生日", "备注", "消费金额", "会员类别"}),
              QStringList{QStringLiteral("E1|O'Brien|222|0815|VIP,老客户=a'b|50|银卡")});
    EXPECT_EQ(page->list()->rowTexts(0).mid(2, 1), QStringList{QStringLiteral("O'Brien")});
    EXPECT_EQ(page->list()->cellText(0, 12), QStringLiteral("VIP,老客户=a'b"));
    EXPECT_EQ(page->list()->cellText(0, 5), QStringLiteral("50"));
}

TEST_F(MemberPageTest, EditGuards)
{
    member(QStringLiteral("E1"), QStringLiteral("A"), QStringLiteral("甲"));
    member(QStringLiteral("E2"), QStringLiteral("A"), QStringLiteral("乙"));
    openPage();
    const struct {
        const char *name;
        int select;       // row to select, -1 none
        const char *card; // typed into the card box
        QStringList texts;
    } cases[] = {
        {"NothingSelected", -1, "E1", {QStringLiteral("当前还没有选定会员")}},
        {"AnotherCardInTheBox", 0, "E2", {}},
    };
    for (const auto &c : cases) {
        messages.clear();
        page->list()->clearSelection();
        if (c.select >= 0)
            page->list()->selectRow(c.select);
        field("会员卡号3")->setText(QString::fromUtf8(c.card));
        field("会员姓名3")->setText(QStringLiteral("改了"));
        click("修改会员");
        EXPECT_EQ(messages.texts(), c.texts) << c.name;
        EXPECT_EQ(memberRows({"会员姓名"}), (QStringList{"甲", "乙"})) << c.name;
        EXPECT_EQ(column(2), (QStringList{"甲", "乙"})) << c.name;
    }
}

// -- adding -----------------------------------------------------------------------------------

struct DuplicateCase {
    const char *name;
    bool sharing;
    const char *existingShop; // the shop that holds card D1 already
    bool added;
};

class AddDuplicates : public MemberPageTest, public ::testing::WithParamInterface<DuplicateCase> {};

TEST_P(AddDuplicates, CardOfTheScopeIsRefused)
{
    const DuplicateCase &c = GetParam();
    member(QStringLiteral("D1"), QString::fromUtf8(c.existingShop));
    ctx().shopSettings.会员共享 = c.sharing ? AppContext::FlagOn : AppContext::FlagOff;
    openPage();
    field("会员卡号3")->setText(QStringLiteral("D1"));
    click("添加会员");
    const int d1InShopA = int(rows(QStringLiteral("SELECT * FROM [会员管理] WHERE 会员卡号='D1' AND 所属店铺='A'"), {"id"}).size());
    if (c.added) {
        EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'/').toStdString();
        EXPECT_EQ(d1InShopA, QString::fromUtf8(c.existingShop) == u"A" ? 2 : 1);
        EXPECT_EQ(logRows(), 1);
    } else {
        EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("卡号『D1』已存在，不能重复添加")});
        EXPECT_EQ(d1InShopA, QString::fromUtf8(c.existingShop) == u"A" ? 1 : 0);
        EXPECT_EQ(logRows(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Members, AddDuplicates,
                         ::testing::Values(DuplicateCase{"OtherShopNotShared", false, "B", true},
                                           DuplicateCase{"OtherShopShared", true, "B", false},
                                           DuplicateCase{"SameShopNotShared", false, "A", false},
                                           DuplicateCase{"SameShopShared", true, "A", false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(MemberPageTest, AddStoresTheFormExactlyLogsItAndListsItLast)
{
    member(QStringLiteral("M0"), QStringLiteral("A"), QStringLiteral("先来"), QStringLiteral("13000000000"));
    openPage();
    tierCombo()->setCurrentIndex(1);
    field("会员卡号3")->setText(QStringLiteral("M1"));
    field("会员姓名3")->setText(QStringLiteral("O'Hara"));
    field("手机3")->setText(QStringLiteral("13912345678"));
    field("消费金额3")->setText(QStringLiteral("120"));
    field("积分3")->setText(QString()); // empty counts 0
    field("本年生日3")->setText(QStringLiteral("0203"));
    field("备注3")->setText(QStringLiteral("a,b=c'd"));
    click("添加会员");
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'/').toStdString();
    EXPECT_EQ(memberRows({"会员卡号", "会员姓名", "会员类别", "手机", "消费金额", "积分", "本年生日", "备注", "开卡日期",
                          "最近消费", "办理人", "会员储值", "所属店铺"})
                  .last(),
              QStringLiteral("M1|O'Hara|银卡|13912345678|120|0|0203|a,b=c'd|2015-03-11||张三|0|A"));
    EXPECT_EQ(rows(QStringLiteral("SELECT * FROM [日志记录]"), {"门店", "用户名", "操作内容", "操作时间", "所属店铺"}),
              QStringList{QStringLiteral("A|zs|会员管理--添加会员!  M1  O'Hara  银卡  120  0|2015-03-11 14:5|A")});
    EXPECT_EQ(column(1), (QStringList{"M0", "M1"}));
    EXPECT_EQ(page->smsNumbers().count, 2);
    EXPECT_EQ(page->smsNumbers().batches[9], QStringLiteral("13000000000,13912345678,"));
}

TEST_F(MemberPageTest, AddRefusals)
{
    const struct {
        const char *name;
        const char *card;
        const char *spend;
        const char *points;
        QString right; // 添加会员 field
        QStringList texts;
    } cases[] = {
        {"NoRight", "N1", "0", "0", QString(), {QStringLiteral("没有权限！")}},
        {"SpendNotANumber", "N1", "abc", "0", AppContext::Granted, {QStringLiteral("消费金额只能填写整数！")}},
        {"SpendFraction", "N1", "1.5", "0", AppContext::Granted, {QStringLiteral("消费金额只能填写整数！")}},
        {"PointsNegative", "N1", "0", "-3", AppContext::Granted, {QStringLiteral("积分只能填写整数！")}},
    };
    openPage();
    for (const auto &c : cases) {
        messages.clear();
        ctx().accountRights.添加会员 = c.right;
        field("会员卡号3")->setText(QString::fromUtf8(c.card));
        field("消费金额3")->setText(QString::fromUtf8(c.spend));
        field("积分3")->setText(QString::fromUtf8(c.points));
        click("添加会员");
        EXPECT_EQ(messages.texts(), c.texts) << c.name;
        EXPECT_TRUE(memberRows({"id"}).isEmpty()) << c.name;
        EXPECT_EQ(logRows(), 0) << c.name;
    }
}

// A new member's spending or points with more digits than money has are refused, typed or pasted;
// the form keeps what was typed.
TEST_F(MemberPageTest, AddRefusesFiguresBeyondTheCeilingTypedOrPasted)
{
    const QString inputs[] = {QString(400, u'9'), QStringLiteral("123456789012345"), QStringLiteral("6901234567892\n")};
    const std::pair<const char *, QString> fields[] = {{"消费金额3", moneyCeilingText()},
                                                      {"积分3", pointsCeilingText()}};
    openPage();
    for (const auto &[name, message] : fields) {
        for (const QString &input : inputs) {
            for (const bool pasted : {false, true}) {
                SCOPED_TRACE(std::string(name) + (pasted ? " pasted " : " typed ") + input.left(20).toStdString());
                messages.clear();
                field("会员卡号3")->setText(QStringLiteral("N1"));
                field("消费金额3")->clear();
                field("积分3")->clear();
                QLineEdit *box = field(name);
                const QString digits = QString(input).remove(u'\n');
                testsupport::typeOrPaste(box, input, pasted);
                click("添加会员");
                EXPECT_EQ(messages.texts(), QStringList{message});
                EXPECT_TRUE(memberRows({"id"}).isEmpty());
                EXPECT_EQ(logRows(), 0);
                EXPECT_EQ(box->text(), digits);
            }
        }
    }
}

TEST_F(MemberPageTest, EmptyCardIsAcceptedOncePerScope)
{
    openPage();
    click("添加会员");
    EXPECT_TRUE(messages.texts().isEmpty());
    click("添加会员");
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("卡号『』已存在，不能重复添加")});
    EXPECT_EQ(memberRows({"会员卡号"}), QStringList{QString()});
    EXPECT_EQ(logRows(), 1);
}

// Enter on the message of a taken card closes the message and presses nothing else, however 添加
// was pressed, however long Enter is held (a held key repeats its press), and whichever Enter it is
// (the main one or the keypad's). Keys and clicks go through the window system to the real page and
// the real box.
TEST_F(MemberPageTest, EnterOnTheTakenCardMessageClosesItOnly)
{
    member(QStringLiteral("D1"), QStringLiteral("A"));
    openPage();
    page->resize(900, 600);
    page->show();
    QApplication::setActiveWindow(page.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    auto *add = page->findChild<QPushButton *>(QStringLiteral("添加会员"));
    ASSERT_NE(add, nullptr);
    const struct {
        const char *what;
        bool byEnter; // 添加 reached with Tab and pressed with Enter, else clicked
        int repeats;  // presses Enter repeats while it is held on the message
        Qt::Key enter; // the main Enter or the keypad's
    } cases[] = {
        {"添加 clicked, Enter tapped on the message", false, 0, Qt::Key_Return},
        {"添加 clicked, Enter held on the message", false, 3, Qt::Key_Return},
        {"添加 pressed with Enter, Enter tapped on the message", true, 0, Qt::Key_Return},
        {"添加 pressed with Enter, Enter held on the message", true, 3, Qt::Key_Return},
        {"添加 clicked, keypad Enter tapped on the message", false, 0, Qt::Key_Enter},
        {"添加 clicked, keypad Enter held on the message", false, 3, Qt::Key_Enter},
        {"添加 pressed with keypad Enter, keypad Enter tapped on the message", true, 0, Qt::Key_Enter},
        {"添加 pressed with keypad Enter, keypad Enter held on the message", true, 3, Qt::Key_Enter},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Qt::Key enter = c.enter;
        messages.clear();
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
        field("备注3")->setFocus(); // the card box is left before the card is typed (its own check is not asked)
        field("会员卡号3")->setText(QStringLiteral("D1"));
        int boxes = 0;
        messages.setRealBoxes([&](QMessageBox *box) {
            if (++boxes > 1)
                return; // a message that comes back is closed by the script
            if (c.byEnter)
                testsupport::releaseKey(enter); // the stroke that pressed 添加 ends on the message
            testsupport::pressKeyOnBox(box, enter);
        });
        if (c.byEnter) {
            QTest::keyClick(page->windowHandle(), Qt::Key_Tab);
            ASSERT_EQ(QApplication::focusWidget(), add);
            testsupport::pressKey(enter);
        } else {
            QTest::mouseClick(page->windowHandle(), Qt::LeftButton, {}, add->mapTo(page.get(), add->rect().center()));
        }
        // The window manager hands the keyboard back to the page once the message has gone, and the
        // key held on the message goes on repeating there until it comes up.
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
        ASSERT_EQ(QApplication::focusWidget(), add);
        for (int i = 0; i < c.repeats; ++i)
            testsupport::repeatKeyPress(enter, QStringLiteral("\r"));
        testsupport::releaseKey(enter);
        QCoreApplication::processEvents();
        EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("卡号『D1』已存在，不能重复添加")});
        EXPECT_EQ(memberRows({"会员卡号"}), QStringList{QStringLiteral("D1")});
        messages.setRealBoxes({});
    }
}

TEST_F(MemberPageTest, LeavingTheCardBoxRefusesAnotherMembersCardOnce)
{
    member(QStringLiteral("T1"), QStringLiteral("A"));
    member(QStringLiteral("T2"), QStringLiteral("A"));
    member(QStringLiteral("TB"), QStringLiteral("B"));
    openPage();
    page->show();
    QApplication::setActiveWindow(page.get());
    const struct {
        const char *name;
        int select;
        const char *card;
        QStringList texts;
        const char *after;
    } cases[] = {
        {"NewCard", -1, "T9", {}, "T9"},
        {"ExistingCard", -1, "T2", {QStringLiteral("卡号『T2』已存在，不能添加")}, ""},
        {"SelectedMembersOwnCard", 0, "T1", {}, "T1"},
        {"AnotherShopsCardNotShared", -1, "TB", {}, "TB"},
    };
    for (const auto &c : cases) {
        messages.clear();
        page->list()->clearSelection();
        if (c.select >= 0)
            page->list()->selectRow(c.select);
        field("会员卡号3")->setFocus();
        field("会员卡号3")->setText(QString::fromUtf8(c.card));
        field("会员姓名3")->setFocus();
        EXPECT_EQ(messages.texts(), c.texts) << c.name;
        EXPECT_EQ(field("会员卡号3")->text(), QString::fromUtf8(c.after)) << c.name;
    }
}

} // namespace

namespace {

// Writes that the database refuses are reported, and nothing is claimed or logged.
TEST_F(MemberPageTest, RefusedWritesSayTheyFailedAndLeaveNoTrace)
{
    const QString gone = member(QStringLiteral("F1"), QStringLiteral("A"), QStringLiteral("甲"));
    openPage();

    // The selected member was deleted at another workstation: the edit changes no row.
    page->list()->selectRow(0);
    ASSERT_TRUE(db().execute(data::Sql(QStringLiteral("DELETE FROM [会员管理] WHERE id=?"), {gone})));
    field("会员姓名3")->setText(QStringLiteral("乙"));
    click("修改会员");
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("修改失败！会员资料没有保存，请稍后重试！")});
    EXPECT_EQ(page->list()->cellText(0, 2), QStringLiteral("甲"));

    // The insert is refused: no member, no log row, the list as it was.
    messages.clear();
    ASSERT_TRUE(db().execute(data::Sql(QStringLiteral(
        "CREATE TRIGGER refuse_members BEFORE INSERT ON 会员管理 BEGIN SELECT RAISE(ABORT, 'refused'); END"))));
    field("会员卡号3")->setText(QStringLiteral("F2"));
    click("添加会员");
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("添加失败！会员没有保存，请稍后重试！")});
    EXPECT_TRUE(memberRows({"id"}).isEmpty());
    EXPECT_EQ(logRows(), 0);
    EXPECT_EQ(column(1), QStringList{QStringLiteral("F1")});
}

} // namespace
