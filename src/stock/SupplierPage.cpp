#include "stock/SupplierPage.h"

#include "context/AppContext.h"
#include "lists/ReportList.h"
#include "platform/MessageSeam.h"
#include "stock/Catalogue.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace stock {

SupplierPage::SupplierPage(AppContext &context, QWidget *parent) : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("供货来源管理"));
    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框9"));
    const std::pair<const char16_t *, int> columns[] = {{u"ID", 40},  {u"供应商名称", 140}, {u"联系人", 80},
                                                        {u"供应商地址", 180}, {u"手机", 100}, {u"电话", 100},
                                                        {u"微信/QQ", 100}};
    for (const auto &[title, width] : columns)
        m_list->addColumn(QString::fromUtf16(title), width);

    auto edit = [this](const QString &name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(name);
        return e;
    };
    m_name = edit(QStringLiteral("供应商名2"));
    m_contact = edit(QStringLiteral("联系人2"));
    m_address = edit(QStringLiteral("供商地址2"));
    m_mobile = edit(QStringLiteral("手机2"));
    m_phone = edit(QStringLiteral("电话2"));
    m_fax = edit(QStringLiteral("传真2"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("供应商名"), m_name);
    form->addRow(QStringLiteral("联系人"), m_contact);
    form->addRow(QStringLiteral("供应商地址"), m_address);
    form->addRow(QStringLiteral("手机"), m_mobile);
    form->addRow(QStringLiteral("电话"), m_phone);
    form->addRow(QStringLiteral("微    信"), m_fax);
    auto *add = new QPushButton(QStringLiteral("添加"), this);
    add->setObjectName(QStringLiteral("供货商添加"));
    auto *modify = new QPushButton(QStringLiteral("修改"), this);
    modify->setObjectName(QStringLiteral("供货商修改"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(modify);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(add, &QPushButton::clicked, this, &SupplierPage::addSupplier);
    connect(modify, &QPushButton::clicked, this, &SupplierPage::updateSupplier);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &SupplierPage::showSelectedSupplier);
}

void SupplierPage::loadSupplierList()
{
    m_selectedId.clear();
    m_list->clear();
    for (const Supplier &s : stock::loadSupplierList(m_context).suppliers)
        m_list->ensureRowVisible(m_list->addRow({s.id, s.name, s.contact, s.address, s.mobile, s.phone, s.fax}));
}

void SupplierPage::showSelectedSupplier()
{
    const int row = m_list->selectedRow();
    const QStringList cells = row >= 0 ? m_list->rowTexts(row) : QStringList();
    m_selectedId = cells.value(0);
    QLineEdit *edits[] = {m_name, m_contact, m_address, m_mobile, m_phone, m_fax};
    for (int i = 0; i < 6; ++i)
        edits[i]->setText(cells.value(i + 1));
}

void SupplierPage::addSupplier()
{
    const CatalogueResult r = stock::addSupplier(
        m_context, {QString(), m_name->text(), m_contact->text(), m_address->text(), m_mobile->text(), m_phone->text(), m_fax->text()});
    if (!r.message.isEmpty())
        MessageSeam::message(this, QString(), r.message);
    if (r.changed) {
        loadSupplierList();
        Q_EMIT suppliersChanged();
    }
}

void SupplierPage::updateSupplier()
{
    const CatalogueResult r = stock::updateSupplier(
        m_context, m_selectedId,
        {QString(), m_name->text(), m_contact->text(), m_address->text(), m_mobile->text(), m_phone->text(), m_fax->text()});
    if (!r.message.isEmpty())
        MessageSeam::message(this, QString(), r.message);
    if (r.changed) {
        loadSupplierList();
        Q_EMIT suppliersChanged();
    }
}

} // namespace stock
