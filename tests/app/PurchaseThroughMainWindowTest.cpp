// A purchase entered as a shop's clerk enters it in the assembled program: the supplier, the
// colours, sizes and unit and the categories set up on their pages, then two colours in three
// sizes on the page 采购入库, found again by the pinyin initials of the name.
#include <QComboBox>
#include <QInputDialog>
#include <QPushButton>
#include <QTreeWidget>

#include "Installation.h"
#include "lists/ReportList.h"
#include "shell/SettingsTab.h"
#include "stock/CategoryTreeWidget.h"
#include "stock/FilterComboBox.h"
#include "stock/PurchasePage.h"

using apptest::child;
using apptest::Installation;
using shell::MainWindow;
using shell::SettingsTab;
using stock::FilterComboBox;

namespace {

const QString Shop = QStringLiteral("总店");

class PurchaseThroughMainWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(inst.ok()) << inst.db.error().toStdString();
        // A workstation of shop 总店 with label printing on, and its clerk holding every right.
        const SettingsFile ini = inst.ini();
        ini.writeEncipheredSetting(SettingsFile::ShopSection, SettingsFile::ShopKey, Shop, SettingsFile::CipherForm::Comma);
        ini.writeSetting(SettingsFile::PrintSection, SettingsFile::LabelKey, QStringLiteral("真"));
        ASSERT_TRUE(inst.insert(QStringLiteral("店铺名"), {{QStringLiteral("店名"), Shop}}));
        ASSERT_TRUE(inst.insert(QStringLiteral("款式号"), {{QStringLiteral("款号"), QStringLiteral("1000")},
                                                         {QStringLiteral("所属店铺"), Shop}}));
        data::Pairs account{{QStringLiteral("帐号"), QStringLiteral("zs")}, {QStringLiteral("密码"), QStringLiteral("1")},
                            {QStringLiteral("姓名"), QStringLiteral("张三")}, {QStringLiteral("所属店铺"), Shop}};
        for (const QString &right : AccountRights::columns())
            account.append({right, QStringLiteral("√")});
        ASSERT_TRUE(inst.insert(QStringLiteral("帐号管理"), account));
        Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));

        // The name windows of the category tree get the names a person would type.
        inst.script.setDialogHandler([](QDialog *dialog) {
            auto *input = qobject_cast<QInputDialog *>(dialog);
            if (!input)
                return int(QDialog::Rejected);
            if (input->windowTitle() == QStringLiteral("新增一级分类"))
                input->setTextValue(QStringLiteral("上衣"));
            else if (input->windowTitle() == QStringLiteral("新增二级分类"))
                input->setTextValue(QStringLiteral("衬衫"));
            else
                return int(QDialog::Rejected);
            return int(QDialog::Accepted);
        });
    }

    // Types into a filtering combo as a person does, letter by letter.
    static void type(FilterComboBox *combo, const QString &text)
    {
        ASSERT_TRUE(combo);
        combo->setFocus();
        QTest::keyClicks(combo->lineEdit(), text);
    }

    Installation inst;
};

void setUpCatalogue(MainWindow &main, Installation &inst)
{
    auto *page = child<stock::PurchasePage>(&main, QStringLiteral("采购入库"));
    ASSERT_TRUE(page);
    main.toolbarAction(3)->trigger();
    ASSERT_EQ(main.currentPage(), 3);

    // No supplier yet: opening the supplier combo offers to add one and leads to the supplier page.
    inst.script.queueAnswers({true});
    child<FilterComboBox>(page, QStringLiteral("供货来源7"))->showPopup();
    ASSERT_EQ(main.currentPage(), 6);
    auto *tab = child<SettingsTab>(&main, QStringLiteral("选择夹3"));
    ASSERT_TRUE(tab);
    EXPECT_EQ(tab->currentIndex(), int(SettingsTab::Suppliers));
    child<QLineEdit>(tab, QStringLiteral("供应商名2"))->setText(QStringLiteral("广州甲"));
    child<QPushButton>(tab, QStringLiteral("供货商添加"))->click();
    EXPECT_EQ(child<ReportList>(tab, QStringLiteral("超级列表框9"))->rowCount(), 1);

    // Colours, sizes and a unit on 店铺初始设置.
    tab->setCurrentIndex(SettingsTab::ShopSetup);
    const std::pair<const char *, QStringList> lists[] = {
        {"颜色7", {QStringLiteral("红色"), QStringLiteral("白色")}},
        {"尺码7", {QStringLiteral("S"), QStringLiteral("M"), QStringLiteral("L")}},
        {"单位7", {QStringLiteral("件")}},
    };
    const QString addButton[] = {QStringLiteral("按钮5"), QStringLiteral("按钮9"), QStringLiteral("按钮15")};
    int i = 0;
    for (const auto &[combo, values] : lists) {
        auto *box = child<QComboBox>(tab, QString::fromUtf8(combo));
        ASSERT_TRUE(box);
        for (const QString &value : values) {
            box->setEditText(value);
            child<QPushButton>(tab, addButton[i])->click();
        }
        EXPECT_EQ(box->count(), values.size()) << combo;
        ++i;
    }

    // No category yet: the category combo offers the category page; then a second level below it.
    main.toolbarAction(3)->trigger();
    inst.script.queueAnswers({true});
    child<FilterComboBox>(page, QStringLiteral("类别7"))->showPopup();
    ASSERT_EQ(main.currentPage(), 4);
    auto *tree = child<stock::CategoryTreeWidget>(&main, QStringLiteral("树型框1"));
    ASSERT_TRUE(tree);
    const QList<QTreeWidgetItem *> tops = tree->findItems(QStringLiteral("上衣"), Qt::MatchExactly);
    ASSERT_EQ(tops.size(), 1);
    tree->setCurrentItem(tops.first());
    tree->addSubCategory();
    EXPECT_EQ(tree->findItems(QStringLiteral("衬衫"), Qt::MatchExactly | Qt::MatchRecursive).size(), 1);
}

TEST_F(PurchaseThroughMainWindow, TwoColoursInThreeSizesListedWithBarcodesAndFoundByInitials)
{
    QStringList texts;
    const int code = inst.run([&](shell::LoginWindow &login) {
        MainWindow *main = Installation::logIn(login, QStringLiteral("zs"), QStringLiteral("1"));
        if (!main)
            return QCoreApplication::exit(98);
        QApplication::setActiveWindow(main); // as the desktop activates a window that opens
        [&] {
            setUpCatalogue(*main, inst);
            if (::testing::Test::HasFatalFailure())
                return;
            inst.script.clear();

            main->toolbarAction(3)->trigger();
            auto *page = child<stock::PurchasePage>(main, QStringLiteral("采购入库"));
            ASSERT_EQ(main->currentPage(), 3);
            type(child<FilterComboBox>(page, QStringLiteral("供货来源7")), QStringLiteral("g"));
            EXPECT_EQ(child<FilterComboBox>(page, QStringLiteral("供货来源7"))->currentText(), QStringLiteral("广州甲"));
            type(child<FilterComboBox>(page, QStringLiteral("类别7")), QStringLiteral("c"));
            EXPECT_EQ(child<FilterComboBox>(page, QStringLiteral("类别7"))->currentText(), QStringLiteral("衬衫"));
            type(child<FilterComboBox>(page, QStringLiteral("单位8")), QStringLiteral("j"));
            auto *style = child<QLineEdit>(page, QStringLiteral("款号7"));
            QTest::mouseClick(style, Qt::LeftButton); // suggests the next style number
            EXPECT_EQ(style->text(), QStringLiteral("1001"));
            child<FilterComboBox>(page, QStringLiteral("名称7"))->setEditText(QStringLiteral("纯棉衬衫"));
            child<QLineEdit>(page, QStringLiteral("进货价7"))->setText(QStringLiteral("50"));
            child<QLineEdit>(page, QStringLiteral("吊牌价7"))->setText(QStringLiteral("120"));
            const QString sizes[] = {QStringLiteral("s"), QStringLiteral("m"), QStringLiteral("l")};
            for (int k = 1; k <= 6; ++k) {
                const QString n = QString::number(k);
                type(child<FilterComboBox>(page, QStringLiteral("颜色") + n), k <= 3 ? QStringLiteral("h") : QStringLiteral("b"));
                type(child<FilterComboBox>(page, QStringLiteral("尺码") + n), sizes[(k - 1) % 3]);
                auto *quantity = child<QLineEdit>(page, QStringLiteral("数量") + n);
                quantity->setFocus(); // leaving the size box upper-cases it
                QTest::keyClicks(quantity, QStringLiteral("2"));
            }
            QTest::mouseClick(child<QPushButton>(page, QStringLiteral("添加采购")), Qt::LeftButton);
            texts = inst.script.texts();

            auto *list = child<ReportList>(page, QStringLiteral("超级列表框7"));
            ASSERT_TRUE(list);
            ASSERT_EQ(list->rowCount(), 7); // six rows and the totals line
            const QStringList colours{QStringLiteral("红色"), QStringLiteral("红色"), QStringLiteral("红色"),
                                      QStringLiteral("白色"), QStringLiteral("白色"), QStringLiteral("白色")};
            for (int row = 0; row < 6; ++row) {
                EXPECT_EQ(list->cellText(row, 1), QStringLiteral("6983111485901")) << row;
                EXPECT_EQ(list->cellText(row, 6), colours[row]) << row;
                EXPECT_EQ(list->cellText(row, 7), sizes[row % 3].toUpper()) << row;
            }
            EXPECT_EQ(list->cellText(6, 8), QStringLiteral("12"));
            EXPECT_EQ(inst.labels->labelCount(), 12);

            // The name box finds the entry by the initials of 纯棉衬衫.
            auto *name = child<FilterComboBox>(page, QStringLiteral("名称7"));
            EXPECT_TRUE(name->currentText().isEmpty()) << "the form is cleared after the entry";
            name->setFocus();
            QTest::keyClicks(name->lineEdit(), QStringLiteral("CMcs"));
            QTest::keyClick(name->lineEdit(), Qt::Key_Return);
            EXPECT_EQ(name->currentText(), QStringLiteral("纯棉衬衫"));
        }();
        main->close();
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(texts.isEmpty()) << texts.join(u'\n').toStdString();
}

} // namespace
