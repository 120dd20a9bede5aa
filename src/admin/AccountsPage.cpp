#include "admin/AccountsPage.h"

#include "context/AccountRights.h"
#include "context/AppContext.h"
#include "lists/ReportList.h"
#include "platform/MessageSeam.h"
#include "admin/AccountAdmin.h"
#include "admin/ShopAdmin.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace admin {

namespace {
// The check box of each right, in column order.
const QStringList &rightBoxNames()
{
    static const QStringList names{
        QStringLiteral("选择框1"), QStringLiteral("选择框26"), QStringLiteral("选择框2"), QStringLiteral("选择框27"),
        QStringLiteral("选择框28"), QStringLiteral("选择框29"), QStringLiteral("选择框30"), QStringLiteral("选择框3"),
        QStringLiteral("选择框23"), QStringLiteral("选择框25"), QStringLiteral("选择框24"), QStringLiteral("选择框4"),
        QStringLiteral("选择框34"), QStringLiteral("选择框31"), QStringLiteral("选择框5"), QStringLiteral("选择框33"),
        QStringLiteral("选择框32"), QStringLiteral("选择框6"), QStringLiteral("选择框7"), QStringLiteral("选择框8"),
    };
    return names;
}
} // namespace

AccountsPage::AccountsPage(AppContext &context, QWidget *parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("帐号权限管理"));
    auto *layout = new QVBoxLayout(this);
    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框8"));
    m_list->addColumn(QString(), 0);
    m_list->addColumn(QStringLiteral("帐号"), 80);
    m_list->addColumn(QStringLiteral("密码"), 80);
    m_list->addColumn(QStringLiteral("姓  名"), 70);
    m_list->addColumn(QStringLiteral("电话"), 120);
    m_list->addColumn(QStringLiteral("所属店铺"), 100);
    for (const QString &right : AccountRights::columns())
        m_list->addColumn(right, 70);
    layout->addWidget(m_list, 1);

    auto *form = new QGridLayout;
    auto addEdit = [&](const QString &name, const QString &caption, int column) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        form->addWidget(new QLabel(caption, this), 0, column * 2);
        form->addWidget(edit, 0, column * 2 + 1);
        return edit;
    };
    m_account = addEdit(QStringLiteral("帐号8"), QStringLiteral("帐号"), 0);
    m_password = addEdit(QStringLiteral("密码8"), QStringLiteral("密码"), 1);
    m_name = addEdit(QStringLiteral("姓名8"), QStringLiteral("姓名"), 2);
    m_phone = addEdit(QStringLiteral("电话8"), QStringLiteral("电话"), 3);
    m_shop = new QComboBox(this);
    m_shop->setObjectName(QStringLiteral("店铺组8"));
    m_shop->setEditable(false); // an account always belongs to a shop that exists
    // The combo is empty when the page is first shown: let it grow with the shop names it gets later.
    m_shop->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    form->addWidget(new QLabel(QStringLiteral("所属店铺"), this), 0, 8);
    form->addWidget(m_shop, 0, 9);
    layout->addLayout(form);

    auto *boxes = new QGridLayout;
    const QStringList &columns = AccountRights::columns();
    for (int i = 0; i < columns.size(); ++i) {
        auto *box = new QCheckBox(columns[i], this);
        box->setObjectName(rightBoxNames()[i]);
        boxes->addWidget(box, i / 10, i % 10);
        m_rights << box;
    }
    layout->addLayout(boxes);

    auto *buttons = new QHBoxLayout;
    auto addButton = [&](const QString &name, const QString &caption, void (AccountsPage::*handler)()) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, handler);
    };
    addButton(QStringLiteral("按钮7"), QStringLiteral("添加"), &AccountsPage::addAccount);
    addButton(QStringLiteral("按钮10"), QStringLiteral("修改"), &AccountsPage::updateAccount);
    addButton(QStringLiteral("删帐号"), QStringLiteral("删除"), &AccountsPage::deleteAccount);
    addButton(QStringLiteral("按钮26"), QStringLiteral("全选"), &AccountsPage::checkAllRightBoxes);
    addButton(QStringLiteral("按钮27"), QStringLiteral("清空"), &AccountsPage::clearAllRightBoxes);
    addButton(QStringLiteral("按钮12"), QStringLiteral("显示所有帐号"), &AccountsPage::showAllAccounts);
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AccountsPage::showSelectedAccount);
}

void AccountsPage::load()
{
    loadShopAccountList();
    refillShopCombo();
}

void AccountsPage::loadShopAccountList()
{
    fillAccountList(loadShopAccounts(m_context));
}

void AccountsPage::loadAllAccountList()
{
    fillAccountList(loadAllAccounts(m_context));
}

void AccountsPage::fillAccountList(const QList<AccountRecord> &records)
{
    m_list->clear();
    for (const AccountRecord &record : records)
        m_list->addRow(record.cells());
    if (m_list->rowCount() > 0)
        m_list->ensureRowVisible(m_list->rowCount() - 1);
}

void AccountsPage::refillShopCombo()
{
    m_shop->clear();
    m_shop->addItems(shopNames(m_context));
    m_shop->setCurrentIndex(-1);
}

void AccountsPage::showAllAccounts()
{
    const AdminResult result = mayShowAllAccounts(m_context);
    if (result.done)
        loadAllAccountList();
    else
        showMessage(result.message);
}

qint64 AccountsPage::selectedAccountId() const
{
    const int row = m_list->selectedRow();
    return row >= 0 ? m_list->cellText(row, 0).toLongLong() : 0;
}

void AccountsPage::showSelectedAccount()
{
    const int row = m_list->selectedRow();
    if (row < 0)
        return;
    m_account->setText(m_list->cellText(row, 1));
    m_password->setText(m_list->cellText(row, 2));
    m_name->setText(m_list->cellText(row, 3));
    m_phone->setText(m_list->cellText(row, 4));
    m_shop->setCurrentIndex(m_shop->findText(m_list->cellText(row, 5)));
    for (int i = 0; i < m_rights.size(); ++i)
        m_rights[i]->setChecked(m_list->cellText(row, 6 + i) == AppContext::Granted);
}

AccountForm AccountsPage::form() const
{
    AccountForm f;
    f.account = m_account->text();
    f.password = m_password->text();
    f.name = m_name->text();
    f.phone = m_phone->text();
    f.shop = m_shop->currentText();
    for (QCheckBox *box : m_rights)
        f.rights << box->isChecked();
    return f;
}

void AccountsPage::showMessage(const QString &text)
{
    if (!text.isEmpty())
        MessageSeam::message(this, QString(), text);
}

void AccountsPage::addAccount()
{
    const AdminResult result = admin::addAccount(m_context, form());
    if (result.done)
        loadShopAccountList();
    showMessage(result.message);
}

void AccountsPage::updateAccount()
{
    const AdminResult result = admin::updateAccount(m_context, selectedAccountId(), form());
    if (result.done)
        loadShopAccountList();
    showMessage(result.message);
}

void AccountsPage::deleteAccount()
{
    const AdminResult result = admin::deleteAccount(m_context, selectedAccountId());
    if (result.done)
        loadShopAccountList();
    showMessage(result.message);
}

void AccountsPage::checkAllRightBoxes()
{
    for (QCheckBox *box : m_rights)
        box->setChecked(true);
}

void AccountsPage::clearAllRightBoxes()
{
    for (QCheckBox *box : m_rights)
        box->setChecked(false);
}

} // namespace admin
