#pragma once
// The steps of a purchase as a shop's clerk takes them in the assembled program: a workstation of
// shop 总店 whose clerk zs holds every right, the supplier, colours, sizes, unit and categories set
// up on their pages, then entries on the page 采购入库.
#include <QComboBox>
#include <QInputDialog>
#include <QPushButton>
#include <QTreeWidget>

#include "Installation.h"
#include "context/AccountRights.h"
#include "lists/ReportList.h"
#include "shell/SettingsTab.h"
#include "stock/CategoryTreeWidget.h"
#include "stock/FilterComboBox.h"
#include "stock/PurchasePage.h"

namespace apptest {

inline const QString Shop = QStringLiteral("总店");

// The shop, its style-number counter and the clerk zs (password "1") with every right.
inline void setUpShop(Installation &inst)
{
    const SettingsFile ini = inst.ini();
    ini.writeEncipheredSetting(SettingsFile::ShopSection, SettingsFile::ShopKey, Shop, SettingsFile::CipherForm::Comma);
    ASSERT_TRUE(inst.insert(QStringLiteral("店铺名"), {{QStringLiteral("店名"), Shop}}));
    ASSERT_TRUE(inst.insert(QStringLiteral("款式号"), {{QStringLiteral("款号"), QStringLiteral("1000")},
                                                     {QStringLiteral("所属店铺"), Shop}}));
    data::Pairs account{{QStringLiteral("帐号"), QStringLiteral("zs")}, {QStringLiteral("密码"), QStringLiteral("1")},
                        {QStringLiteral("姓名"), QStringLiteral("张三")}, {QStringLiteral("所属店铺"), Shop}};
    for (const QString &right : AccountRights::columns())
        account.append({right, QStringLiteral("√")});
    ASSERT_TRUE(inst.insert(QStringLiteral("帐号管理"), account));
}

// A stock row of the shirt 1001 (red, S) as an earlier session left it, with the given stock.
inline bool insertShirt(Installation &inst, const QString &quantity)
{
    return inst.insert(QStringLiteral("采购入库"),
                       {{QStringLiteral("商品条码"), QStringLiteral("6983111485901")}, {QStringLiteral("款号"), QStringLiteral("1001")},
                        {QStringLiteral("名称"), QStringLiteral("纯棉衬衫")}, {QStringLiteral("拼音检索"), QStringLiteral("cmcs")},
                        {QStringLiteral("颜色"), QStringLiteral("红色")}, {QStringLiteral("尺码"), QStringLiteral("S")},
                        {QStringLiteral("数量"), quantity}, {QStringLiteral("已售"), QStringLiteral("0")},
                        {QStringLiteral("吊牌价"), QStringLiteral("120")}, {QStringLiteral("进货价"), QStringLiteral("50")},
                        {QStringLiteral("所属店铺"), Shop}});
}

// The names a person types into the name windows of the category tree; -1 for any other window.
inline int answerCategoryName(QDialog *dialog)
{
    auto *input = qobject_cast<QInputDialog *>(dialog);
    if (!input)
        return -1;
    if (input->windowTitle() == QStringLiteral("新增一级分类"))
        input->setTextValue(QStringLiteral("上衣"));
    else if (input->windowTitle() == QStringLiteral("新增二级分类"))
        input->setTextValue(QStringLiteral("衬衫"));
    else
        return int(QDialog::Rejected);
    return int(QDialog::Accepted);
}

// Types into a filtering combo as a person does, letter by letter.
inline void type(stock::FilterComboBox *combo, const QString &text)
{
    ASSERT_TRUE(combo);
    combo->setFocus();
    QTest::keyClicks(combo->lineEdit(), text);
}

// The supplier 广州甲, colours 红色/白色, sizes S/M/L, unit 件 and the categories 上衣 > 衬衫, each
// set up where the purchase page leads (the category names come from answerCategoryName).
inline void setUpCatalogue(shell::MainWindow &main, Installation &inst)
{
    using shell::SettingsTab;
    using stock::FilterComboBox;
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

} // namespace apptest
