#include "StockFixture.h"
#include "Typing.h"

#include "context/AccountRights.h"
#include "lists/ReportList.h"
#include "printing/LabelPrint.h"
#include "stock/FilterComboBox.h"
#include "stock/PurchasePage.h"
#include "platform/NumberText.h"
#include "support/TypeOrPaste.h"

#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QMenu>
#include <QTest>
#include <QTimer>

using namespace stock;
using stocktest::SqliteStockFixture;
using stocktest::imeCommit;
using stocktest::pressKey;
using stocktest::typeKeys;

namespace {

class PurchasePageTest : public SqliteStockFixture {
protected:
    template <typename T>
    T *child(const QString &name)
    {
        T *w = page->findChild<T *>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    void SetUp() override
    {
        SqliteStockFixture::SetUp();
        exec(QStringLiteral("INSERT INTO [颜色尺码] (颜色, 尺码, 所属店铺) VALUES ('红色', '', 'A'), ('白色', '', 'A')"));
        exec(QStringLiteral("INSERT INTO [供货管理] (供应商名称, 所属店铺) VALUES ('广州甲', 'A')"));
        exec(QStringLiteral("INSERT INTO [款式号] (款号, 所属店铺) VALUES ('1000', 'A')"));
        page = std::make_unique<PurchasePage>(ctx(), labels);
        page->loadPurchaseSupplierCombo();
        page->loadPurchaseColourCombos();
        page->show();
        QApplication::setActiveWindow(page.get());
    }
    // The required fields of an entry of style S1 and one piece on line 1.
    void fillRequired()
    {
        child<QComboBox>(QStringLiteral("供货来源7"))->setEditText(QStringLiteral("广州甲"));
        child<QComboBox>(QStringLiteral("类别7"))->setEditText(QStringLiteral("衬衫"));
        child<QLineEdit>(QStringLiteral("款号7"))->setText(QStringLiteral("S1"));
        child<QComboBox>(QStringLiteral("尺码1"))->setEditText(QStringLiteral("M"));
        child<QLineEdit>(QStringLiteral("进货价7"))->setText(QStringLiteral("50"));
        child<QLineEdit>(QStringLiteral("吊牌价7"))->setText(QStringLiteral("120"));
        child<QLineEdit>(QStringLiteral("数量1"))->setText(QStringLiteral("1"));
    }
    // 商品调整 taken from the menu of a row of the list, as the user takes it: a right click on the
    // row and a click on the item.
    void adjustFromMenu(ReportList *list, int row)
    {
        QTimer::singleShot(0, [] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            ASSERT_TRUE(menu);
            for (QAction *a : menu->actions())
                if (a->text() == QStringLiteral("商品调整")) {
                    menu->close();
                    a->trigger();
                }
        });
        QTest::mouseClick(page->windowHandle(), Qt::RightButton, {},
                          list->viewport()->mapTo(page.get(), list->visualRect(list->model()->index(row, 2)).center()));
        QCoreApplication::processEvents();
    }
    std::unique_ptr<PurchasePage> page;
};

TEST_F(PurchasePageTest, EnterTwoColoursInThreeSizes)
{
    QLineEdit *style = child<QLineEdit>(QStringLiteral("款号7"));
    QTest::mouseClick(style, Qt::LeftButton);
    EXPECT_EQ(style->text(), QStringLiteral("X1001"));

    // Typing "b" in a colour combo narrows it to 白色, which becomes the text.
    auto *colour2 = child<FilterComboBox>(QStringLiteral("颜色2"));
    colour2->setFocus();
    QTest::keyClicks(colour2->lineEdit(), QStringLiteral("b"));
    EXPECT_EQ(colour2->currentText(), QStringLiteral("白色"));

    child<QComboBox>(QStringLiteral("类别7"))->setEditText(QStringLiteral("衬衫"));
    child<QComboBox>(QStringLiteral("名称7"))->setEditText(QStringLiteral("衬衫"));
    child<QComboBox>(QStringLiteral("供货来源7"))->setEditText(QStringLiteral("广州甲"));
    child<QLineEdit>(QStringLiteral("进货价7"))->setText(QStringLiteral("50"));
    child<QLineEdit>(QStringLiteral("吊牌价7"))->setText(QStringLiteral("120"));
    const char *sizes[] = {"s", "m", "l"};
    for (int k = 1; k <= 6; ++k) {
        const QString n = QString::number(k);
        child<QComboBox>(QStringLiteral("颜色") + n)->setEditText(k <= 3 ? QStringLiteral("红色") : QStringLiteral("白色"));
        auto *size = child<QComboBox>(QStringLiteral("尺码") + n);
        size->setFocus();
        QTest::keyClicks(size->lineEdit(), QString::fromLatin1(sizes[(k - 1) % 3]));
        child<QLineEdit>(QStringLiteral("数量") + n)->setFocus(); // leaving the size upper-cases it
        EXPECT_EQ(size->currentText(), QString::fromLatin1(sizes[(k - 1) % 3]).toUpper());
        child<QLineEdit>(QStringLiteral("数量") + n)->setText(QStringLiteral("1"));
    }
    QTest::mouseClick(child<QPushButton>(QStringLiteral("添加采购")), Qt::LeftButton);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'\n').toStdString();

    ReportList *list = child<ReportList>(QStringLiteral("超级列表框7"));
    ASSERT_EQ(list->rowCount(), 7); // six rows and the totals line
    EXPECT_EQ(list->cellText(0, 1), QStringLiteral("6983111485901"));
    EXPECT_EQ(list->cellText(5, 6), QStringLiteral("白色"));
    EXPECT_EQ(list->cellText(5, 7), QStringLiteral("L"));
    EXPECT_EQ(list->cellText(6, 8), QStringLiteral("6"));
    EXPECT_EQ(labels.labelCount(), 6);
    EXPECT_TRUE(style->text().isEmpty());
    EXPECT_TRUE(child<QComboBox>(QStringLiteral("供货来源7"))->currentText().isEmpty());

    // Selecting a line puts it into the form; a refused modify of a sold row says so.
    list->selectRow(2);
    EXPECT_EQ(child<QComboBox>(QStringLiteral("尺码1"))->currentText(), QStringLiteral("L"));
    exec(QStringLiteral("UPDATE [采购入库] SET 已售='1'"));
    QTest::mouseClick(child<QPushButton>(QStringLiteral("修改采购")), Qt::LeftButton);
    EXPECT_EQ(messages.texts().last(), QStringLiteral("该款已有销售记录 不允许修改！\r\n如需调价、调数量请鼠标右击该单！"));
}

TEST_F(PurchasePageTest, ARefusedEntryKeepsTheForm)
{
    fillRequired();
    child<QLineEdit>(QStringLiteral("数量1"))->setText(QStringLiteral("2.5"));
    QTest::mouseClick(child<QPushButton>(QStringLiteral("添加采购")), Qt::LeftButton);
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_EQ(child<QLineEdit>(QStringLiteral("数量1"))->text(), QStringLiteral("2.5"));
    EXPECT_EQ(child<QLineEdit>(QStringLiteral("款号7"))->text(), QStringLiteral("S1"));
    EXPECT_EQ(count(QStringLiteral("采购入库")), 0);
}

// A price with more digits before the point than money has is refused, typed or pasted into either
// price box: the message says why, nothing is stored and the form keeps what was typed.
TEST_F(PurchasePageTest, APriceBeyondTheCeilingIsRefusedTypedOrPasted)
{
    const QString inputs[] = {QString(400, u'9'), QStringLiteral("123456789012345"), QStringLiteral("6901234567892\n")};
    for (const char *name : {"进货价7", "吊牌价7"}) {
        for (const QString &input : inputs) {
            for (const bool pasted : {false, true}) {
                SCOPED_TRACE(std::string(name) + (pasted ? " pasted " : " typed ") + input.left(20).toStdString());
                messages.clear();
                fillRequired();
                QLineEdit *price = child<QLineEdit>(QString::fromUtf8(name));
                const QString digits = QString(input).remove(u'\n');
                price->clear();
                price->setFocus();
                testsupport::typeOrPaste(price, input, pasted);
                QTest::mouseClick(child<QPushButton>(QStringLiteral("添加采购")), Qt::LeftButton);
                EXPECT_EQ(messages.texts(), QStringList{moneyCeilingText()});
                EXPECT_EQ(count(QStringLiteral("采购入库")), 0);
                EXPECT_EQ(price->text(), digits);
                EXPECT_EQ(child<QLineEdit>(QStringLiteral("款号7"))->text(), QStringLiteral("S1"));
            }
        }
    }
}

// 单独打标签 prints one label of line 1; an empty barcode box gets a generated code on the label
// only: the box stays empty and nothing is stored.
TEST_F(PurchasePageTest, TheSingleLabelButtonPrintsOneLabelAndStoresNothing)
{
    child<QLineEdit>(QStringLiteral("款号7"))->setText(QStringLiteral("S1"));
    child<QComboBox>(QStringLiteral("颜色1"))->setEditText(QStringLiteral("红色"));
    child<QComboBox>(QStringLiteral("尺码1"))->setEditText(QStringLiteral("M"));
    child<QLineEdit>(QStringLiteral("吊牌价7"))->setText(QStringLiteral("1299"));
    auto *barcode = child<QLineEdit>(QStringLiteral("商品条码7"));
    auto *button = child<QPushButton>(QStringLiteral("打条码"));
    EXPECT_EQ(button->text(), QStringLiteral("单独打标签"));
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(labels.entries().size(), 1);
    const printing::PurchaseLabels &label = labels.entries().first();
    EXPECT_EQ(label.barcode, QStringLiteral("6983111485901"));
    EXPECT_EQ(label.styleNo, QStringLiteral("S1"));
    EXPECT_EQ(label.tagPrice, QStringLiteral("1299"));
    ASSERT_EQ(label.lines.size(), 1);
    EXPECT_EQ(label.lines[0].colour, QStringLiteral("红色"));
    EXPECT_EQ(label.lines[0].size, QStringLiteral("M"));
    EXPECT_EQ(label.labelCount(), 1);
    EXPECT_TRUE(barcode->text().isEmpty());
    EXPECT_EQ(count(QStringLiteral("采购入库")), 0);

    barcode->setText(QStringLiteral("1234567890128"));
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(labels.entries().size(), 2);
    EXPECT_EQ(labels.entries().last().barcode, QStringLiteral("1234567890128"));
}

// An empty supplier or category combo offers to add one; the page it leads to is opened only for an
// account that holds that page's rights.
TEST_F(PurchasePageTest, TheOffersToAddCheckTheRightsOfThePageTheyOpen)
{
    auto rightAt = [this](const char *name) -> QString & {
        return ctx().accountRights[AccountRights::columns().indexOf(QString::fromUtf8(name))];
    };
    QSignalSpy supplierPage(page.get(), &PurchasePage::supplierPageRequested);
    QSignalSpy categoryPage(page.get(), &PurchasePage::categoryPageRequested);
    auto *supplier = child<FilterComboBox>(QStringLiteral("供货来源7"));
    auto *category = child<FilterComboBox>(QStringLiteral("类别7"));

    // A combo with items drops down without asking.
    ASSERT_GT(supplier->count(), 0);
    supplier->showPopup();
    EXPECT_TRUE(messages.messages().isEmpty());
    supplier->hidePopup();

    exec(QStringLiteral("DELETE FROM [供货管理]"));
    page->loadPurchaseSupplierCombo();
    rightAt("系统设置").clear();
    messages.queueAnswers({true});
    supplier->showPopup();
    ASSERT_EQ(messages.messages().size(), 2);
    const ShownMessage &offer = messages.messages().at(0);
    EXPECT_TRUE(offer.question);
    EXPECT_EQ(offer.title, QStringLiteral("添加供货来源"));
    EXPECT_EQ(offer.text, QStringLiteral("你所输入的供货商还未添加，是否现在就去添加？"));
    EXPECT_EQ(offer.icon, MessageIcon::Warning);
    EXPECT_EQ(messages.messages().at(1).text, QStringLiteral("没有权限！"));
    EXPECT_EQ(supplierPage.count(), 0);
    rightAt("系统设置") = AppContext::Granted;
    messages.queueAnswers({true});
    supplier->showPopup();
    EXPECT_EQ(supplierPage.count(), 1);

    messages.clear();
    int namesAsked = 0;
    messages.setDialogHandler([&](QDialog *dialog) {
        auto *input = qobject_cast<QInputDialog *>(dialog);
        if (!input || input->windowTitle() != QStringLiteral("新增一级分类"))
            return int(QDialog::Rejected);
        ++namesAsked;
        input->setTextValue(QStringLiteral("上衣"));
        return int(QDialog::Accepted);
    });
    for (const char *right : {"库存管理", "分类管理"}) {
        rightAt(right).clear();
        messages.queueAnswers({true});
        category->showPopup();
        EXPECT_EQ(messages.texts().last(), QStringLiteral("没有权限！")) << right;
        rightAt(right) = AppContext::Granted;
    }
    EXPECT_EQ(categoryPage.count(), 0);
    EXPECT_EQ(namesAsked, 0);
    EXPECT_EQ(messages.messages().first().title, QStringLiteral("添加分类项目"));
    EXPECT_EQ(messages.messages().first().text, QStringLiteral("你所输入的分类项目还未添，是否现在就去添加？"));

    QSignalSpy changed(page.get(), &PurchasePage::categoriesChanged);
    messages.queueAnswers({true});
    category->showPopup();
    EXPECT_EQ(categoryPage.count(), 1);
    EXPECT_EQ(namesAsked, 1);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(count(QStringLiteral("分类例表"), QStringLiteral("项目名称='上衣' AND 一级编号='1'")), 1);
}

// The tester's steps: a colour list open, a click into the next colour, Chinese typed fast.
TEST_F(PurchasePageTest, AClickIntoTheNextColourWhileAListIsOpenTypesThere)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    exec(QStringLiteral("INSERT INTO [颜色尺码] (颜色, 尺码, 所属店铺) VALUES ('黑色', '', 'A')"));
    auto *colour1 = child<FilterComboBox>(QStringLiteral("颜色1"));
    auto *colour2 = child<FilterComboBox>(QStringLiteral("颜色2"));
    QTest::mouseClick(colour1->lineEdit(), Qt::LeftButton);
    typeKeys(QStringLiteral("h"));
    ASSERT_TRUE(colour1->isListShown());
    QTest::mouseClick(colour2->lineEdit(), Qt::LeftButton);
    typeKeys(QStringLiteral("藏"));
    imeCommit(QStringLiteral("青"));
    EXPECT_EQ(colour1->currentText(), QStringLiteral("h"));
    EXPECT_EQ(colour2->currentText(), QStringLiteral("藏青"));
    EXPECT_FALSE(colour1->isListShown());
}

// Chinese typed into the name stays whole, and Enter as the keyboard delivers it searches.
TEST_F(PurchasePageTest, ANameTypedInChineseIsKeptAndEnterSearchesIt)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    for (const QString &name : {QStringLiteral("裤子"), QStringLiteral("裤子短")}) {
        const QString id = stockRow(QStringLiteral("A"), name, QStringLiteral("2"));
        exec(QStringLiteral("UPDATE [采购入库] SET 拼音检索=? WHERE id=?"),
             {name.size() == 2 ? QStringLiteral("kz") : QStringLiteral("kzd"), id});
    }
    auto *name = child<FilterComboBox>(QStringLiteral("名称7"));
    QTest::mouseClick(name->lineEdit(), Qt::LeftButton);
    typeKeys(QStringLiteral("裤"));
    imeCommit(QStringLiteral("子"));
    EXPECT_EQ(name->currentText(), QStringLiteral("裤子"));
    EXPECT_EQ(name->count(), 0);  // typing alone searches nothing
    pressKey(Qt::Key_Return);
    EXPECT_EQ(name->count(), 2);
    EXPECT_TRUE(name->isListShown());
    EXPECT_EQ(name->currentText(), QStringLiteral("裤子"));
    EXPECT_EQ(QApplication::focusWidget(), name);
}

// From the name, Tab walks each purchase line (colour, size, quantity) before the prices.
TEST_F(PurchasePageTest, TabWalksTheLinesColumnByColumnBeforeThePrices)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    auto *supplier = child<FilterComboBox>(QStringLiteral("供货来源7"));
    supplier->setFocus();
    QStringList visited;
    for (int i = 0; i < 4 + 18 + 4 + 1; ++i) {
        pressKey(Qt::Key_Tab);
        QWidget *w = QApplication::focusWidget();
        while (w && w->objectName().isEmpty())
            w = w->parentWidget();
        visited << (w ? w->objectName() : QString());
    }
    QStringList expected{QStringLiteral("类别7"), QStringLiteral("款号7"), QStringLiteral("单位8"), QStringLiteral("名称7")};
    for (int k = 1; k <= 6; ++k)
        expected << QStringLiteral("颜色%1").arg(k) << QStringLiteral("尺码%1").arg(k) << QStringLiteral("数量%1").arg(k);
    expected << QStringLiteral("折后价7") << QStringLiteral("进货价7") << QStringLiteral("吊牌价7") << QStringLiteral("折扣7")
             << QStringLiteral("添加采购");
    EXPECT_EQ(visited, expected);
}

// Enter on the focused 添加 saves the purchase, and the emptied form waits at its first field.
TEST_F(PurchasePageTest, EnterOnAddSavesAndTheFocusGoesBackToTheTop)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    fillRequired();
    child<QComboBox>(QStringLiteral("名称7"))->setEditText(QStringLiteral("衬衫"));
    child<QComboBox>(QStringLiteral("颜色1"))->setEditText(QStringLiteral("红色"));
    child<QLineEdit>(QStringLiteral("数量1"))->setText(QStringLiteral("2"));
    child<QPushButton>(QStringLiteral("添加采购"))->setFocus();
    pressKey(Qt::Key_Return);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'\n').toStdString();
    EXPECT_EQ(count(QStringLiteral("采购入库")), 1);
    EXPECT_EQ(QApplication::focusWidget(), child<QComboBox>(QStringLiteral("供货来源7")));
}

// After Enter found one name, typing goes on after it: typing in the name searches nothing, and
// what is saved is the name as shown with its own search key.
TEST_F(PurchasePageTest, TypingAfterAFoundNameContinuesIt)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    const QString id = stockRow(QStringLiteral("A"), QStringLiteral("羽绒服"), QStringLiteral("2"));
    exec(QStringLiteral("UPDATE [采购入库] SET 拼音检索='yrf' WHERE id=?"), {id});
    auto *name = child<FilterComboBox>(QStringLiteral("名称7"));
    QTest::mouseClick(name->lineEdit(), Qt::LeftButton);
    typeKeys(QStringLiteral("yrf"));
    pressKey(Qt::Key_Return);
    ASSERT_EQ(name->currentText(), QStringLiteral("羽绒服"));
    typeKeys(QStringLiteral("V"));
    imeCommit(QStringLiteral("领"));
    EXPECT_EQ(name->currentText(), QStringLiteral("羽绒服V领"));
    EXPECT_EQ(name->lineEdit()->cursorPosition(), 5);
    EXPECT_EQ(name->count(), 1); // typing ran no search

    fillRequired();
    QTest::mouseClick(child<QPushButton>(QStringLiteral("添加采购")), Qt::LeftButton);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'\n').toStdString();
    EXPECT_EQ(rows(QStringLiteral("SELECT 名称, 拼音检索 FROM [采购入库] WHERE id>?"),
                   {QStringLiteral("名称"), QStringLiteral("拼音检索")}, {id.toLongLong()}),
              QStringList{QStringLiteral("羽绒服V领|yrfvl")});
}

// The style number a click suggests stands selected: what is typed next replaces it. A click into
// a filled style number changes nothing.
TEST_F(PurchasePageTest, TypingReplacesTheSuggestedStyleNumber)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    auto *style = child<QLineEdit>(QStringLiteral("款号7"));
    QTest::mouseClick(style, Qt::LeftButton);
    EXPECT_EQ(style->text(), QStringLiteral("X1001"));
    EXPECT_EQ(style->selectedText(), QStringLiteral("X1001"));
    typeKeys(QStringLiteral("3003"));
    EXPECT_EQ(style->text(), QStringLiteral("3003"));

    QTest::mouseClick(style, Qt::LeftButton);
    typeKeys(QStringLiteral("9"));
    EXPECT_EQ(style->text().size(), 5);
    EXPECT_TRUE(style->text().contains(u'9'));
}

// After "请填写完整" the keyboard waits in the first required field left empty; the form keeps its texts.
TEST_F(PurchasePageTest, AnIncompleteEntryGoesToTheFirstEmptyRequiredField)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    const char *required[] = {"供货来源7", "类别7", "款号7", "尺码1", "进货价7", "吊牌价7"};
    auto empty = [this](const char *name) {
        QWidget *w = child<QWidget>(QString::fromUtf8(name));
        if (auto *combo = qobject_cast<QComboBox *>(w))
            combo->setEditText(QString());
        else
            qobject_cast<QLineEdit *>(w)->clear();
    };
    for (int first = 0; first < 6; ++first) {
        SCOPED_TRACE(required[first]);
        fillRequired();
        child<QLineEdit>(QStringLiteral("数量1"))->setText(QStringLiteral("2"));
        for (int k = first; k < 6; k += 2) // the first one and some after it
            empty(required[k]);
        messages.clear();
        auto *add = child<QPushButton>(QStringLiteral("添加采购"));
        add->setFocus();
        pressKey(Qt::Key_Return);
        EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("请填写完整")});
        EXPECT_EQ(QApplication::focusWidget(), child<QWidget>(QString::fromUtf8(required[first])));
        EXPECT_EQ(child<QLineEdit>(QStringLiteral("数量1"))->text(), QStringLiteral("2"));
    }
    EXPECT_EQ(count(QStringLiteral("采购入库")), 0);
    EXPECT_EQ(count(QStringLiteral("款式号")), 1); // the shop's seed only
}

// A right click anywhere in the list, also below the last line, opens 菜单2 for the selected line.
TEST_F(PurchasePageTest, ARightClickOnEmptySpaceOpensTheMenuOfTheSelectedLine)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    page->resize(1000, 700);
    stockRow(QStringLiteral("A"), QStringLiteral("衬衫"), QStringLiteral("2"));
    page->refreshPurchaseList();
    ReportList *list = child<ReportList>(QStringLiteral("超级列表框7"));
    ASSERT_GE(list->rowCount(), 1);
    QWidget *viewport = list->viewport();
    const QPoint below(viewport->width() / 2, viewport->height() - 5);
    ASSERT_EQ(list->rowAt(below), -1);

    auto rightClick = [&](const QPoint &at) {
        QStringList shown;
        QTimer::singleShot(0, [&] {
            if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                shown << menu->objectName();
                for (QAction *a : menu->actions())
                    shown << a->text();
                menu->close();
            }
        });
        QWindow *window = page->windowHandle();
        const QPoint inWindow = viewport->mapTo(page.get(), at);
        QTest::mouseClick(window, Qt::RightButton, {}, inWindow);
        QCoreApplication::processEvents();
        return shown;
    };
    EXPECT_EQ(rightClick(below), QStringList{}); // nothing selected: no menu
    list->selectRow(0);
    EXPECT_EQ(rightClick(below), (QStringList{QStringLiteral("菜单2"), QStringLiteral("商品调整"), QStringLiteral("历史调整"),
                                              QStringLiteral("库存报警"), QStringLiteral("删除商品")}));
}

// After 商品调整 the form shows the line as stored: the new stock and prices, and the label printed
// from the form carries the new tag price.
TEST_F(PurchasePageTest, AfterAnAdjustmentTheFormShowsTheStoredLine)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    page->resize(1000, 700);
    const QString id = stockRow(QStringLiteral("A"), QStringLiteral("衬衫"), QStringLiteral("5"));
    exec(QStringLiteral("UPDATE [采购入库] SET 吊牌价='100', 折扣='0.9', 颜色='红色', 尺码='M' WHERE id=?"), {id.toLongLong()});
    page->refreshPurchaseList();
    ReportList *list = child<ReportList>(QStringLiteral("超级列表框7"));
    list->selectRow(0);
    ASSERT_EQ(child<QLineEdit>(QStringLiteral("吊牌价7"))->text(), QStringLiteral("100"));

    messages.setDialogHandler([](QDialog *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("数量1"))->setText(QStringLiteral("-2"));
        dialog->findChild<QLineEdit *>(QStringLiteral("吊牌价1"))->setText(QStringLiteral("120"));
        dialog->findChild<QLineEdit *>(QStringLiteral("折扣1"))->setText(QStringLiteral("0.8"));
        dialog->findChild<QPushButton *>(QStringLiteral("按钮1"))->click();
        return dialog->result();
    });
    adjustFromMenu(list, 0);
    ASSERT_EQ(messages.texts(), QStringList{QStringLiteral("调整成功！如果有采用打标签请去单独打印标签！")});

    const std::pair<const char *, const char *> shown[] = {
        {"数量1", "3"}, {"进货价7", "10"}, {"吊牌价7", "120"}, {"折扣7", "0.8"}, {"款号7", "S1"}};
    for (const auto &[box, text] : shown)
        EXPECT_EQ(child<QLineEdit>(QString::fromUtf8(box))->text(), QString::fromUtf8(text)) << box;
    QTest::mouseClick(child<QPushButton>(QStringLiteral("打条码")), Qt::LeftButton);
    ASSERT_EQ(labels.entries().size(), 1);
    EXPECT_EQ(labels.entries().first().tagPrice, QStringLiteral("120"));
    EXPECT_EQ(labels.entries().first().lines.value(0).colour, QStringLiteral("红色"));
}

// After 商品调整 the totals line adds up the lines shown, as a refresh of the list would show it; the
// line and the totals show the adjustment already when its message appears.
TEST_F(PurchasePageTest, AfterAnAdjustmentTheTotalsLineAddsUpTheLinesShown)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    page->resize(1000, 700);
    const struct {
        const char *what;
        const char *change;
        const char *cost;
        const char *quantityTotal;
        const char *costTotal;
    } cases[] = {
        {"one more at the same cost", "+1", "68", "62", "4018"},
        {"two fewer at a new cost", "-2", "80", "59", "4390"},
        {"a new cost only", "", "70.5", "61", "4075"},
    };
    ReportList *list = child<ReportList>(QStringLiteral("超级列表框7"));
    const auto totalsLine = [list] {
        const QStringList cells = list->rowTexts(list->rowCount() - 1);
        return cells.value(7) + u'|' + cells.value(8) + u'|' + cells.value(10);
    };
    const auto adjustedLine = [list, &totalsLine] {
        return list->cellText(1, 8) + u'|' + list->cellText(1, 10) + u'|' + totalsLine();
    };
    QString shownWithMessage;
    messages.setMessageHandler([&](const ShownMessage &message) {
        if (message.text == QStringLiteral("调整成功！如果有采用打标签请去单独打印标签！"))
            shownWithMessage = adjustedLine();
    });
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        shownWithMessage.clear();
        exec(QStringLiteral("DELETE FROM [采购入库]"));
        const QString first = stockRow(QStringLiteral("A"), QStringLiteral("衬衫"), QStringLiteral("11"));
        const QString second = stockRow(QStringLiteral("A"), QStringLiteral("长裤"), QStringLiteral("50"));
        exec(QStringLiteral("UPDATE [采购入库] SET 进货价='50' WHERE id=?"), {first.toLongLong()});
        exec(QStringLiteral("UPDATE [采购入库] SET 进货价='68' WHERE id=?"), {second.toLongLong()});
        page->refreshPurchaseList();
        ASSERT_EQ(list->rowCount(), 3);
        ASSERT_EQ(totalsLine(), QStringLiteral("合计:|61|3950"));

        list->selectRow(1);
        messages.setDialogHandler([&c](QDialog *dialog) {
            dialog->findChild<QLineEdit *>(QStringLiteral("数量1"))->setText(QString::fromUtf8(c.change));
            dialog->findChild<QLineEdit *>(QStringLiteral("成本价1"))->setText(QString::fromUtf8(c.cost));
            dialog->findChild<QPushButton *>(QStringLiteral("按钮1"))->click();
            return dialog->result();
        });
        adjustFromMenu(list, 1);
        ASSERT_EQ(messages.texts(), QStringList{QStringLiteral("调整成功！如果有采用打标签请去单独打印标签！")});

        EXPECT_EQ(list->rowCount(), 3);
        EXPECT_EQ(totalsLine(), QStringLiteral("合计:|") + QString::fromUtf8(c.quantityTotal) + u'|'
                                    + QString::fromUtf8(c.costTotal));
        EXPECT_EQ(shownWithMessage, adjustedLine()) << "the list as the message appeared";
        const QString shown = totalsLine();
        page->refreshPurchaseList();
        EXPECT_EQ(totalsLine(), shown) << "a refresh shows the same totals";
    }
}

} // namespace

namespace {

// 单独打标签 on a real label printer: an empty barcode box prints a readable generated code that
// begins with 69, and the box stays empty.
class PurchaseLabelOnPaperTest : public SqliteStockFixture {};

TEST_F(PurchaseLabelOnPaperTest, AnEmptyBarcodeBoxPrintsAReadableGeneratedCode)
{
    if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "zbar-tools or poppler-utils missing (tools/deps.sh installs them)";
    QTemporaryDir dir;
    printing::DeviceLabelPrinter printer;
    printer.pdfPath = [&dir] { return dir.filePath(QStringLiteral("label.pdf")); };
    PurchasePage page(ctx(), printer);
    page.findChild<QLineEdit *>(QStringLiteral("款号7"))->setText(QStringLiteral("S1"));
    page.findChild<QLineEdit *>(QStringLiteral("吊牌价7"))->setText(QStringLiteral("120"));
    page.printBarcodeLabel();
    ASSERT_EQ(printer.jobs(), 1);
    EXPECT_TRUE(page.findChild<QLineEdit *>(QStringLiteral("商品条码7"))->text().isEmpty());
    QProcess render;
    render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                                              QStringLiteral("-singlefile"), dir.filePath(QStringLiteral("label.pdf")),
                                              dir.filePath(QStringLiteral("label"))});
    ASSERT_TRUE(render.waitForFinished(30000));
    QProcess read;
    read.start(QStringLiteral("zbarimg"), {QStringLiteral("-q"), dir.filePath(QStringLiteral("label.png"))});
    ASSERT_TRUE(read.waitForFinished(30000));
    const QString code = QString::fromUtf8(read.readAllStandardOutput()).trimmed().section(u':', 1);
    EXPECT_EQ(code.size(), 13) << code.toStdString();
    EXPECT_TRUE(code.startsWith(QStringLiteral("69"))) << code.toStdString();
}

} // namespace
