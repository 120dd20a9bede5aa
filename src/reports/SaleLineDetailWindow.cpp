#include "reports/SaleLineDetailWindow.h"

#include "context/AppContext.h"
#include "lists/ReportList.h"

#include <QGroupBox>
#include <QVBoxLayout>

namespace reports {

namespace {

ReportList *makeList(const QString &name, const QStringList &titles, QWidget *parent)
{
    auto *list = new ReportList(parent);
    list->setObjectName(name);
    for (const QString &title : titles)
        list->addColumn(title, 80);
    list->setFixedHeight(52);
    return list;
}

} // namespace

SaleLineDetailWindow::SaleLineDetailWindow(AppContext &context, const SoldRow &row, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SaleLineDetailWindow"));
    setWindowTitle(QStringLiteral("销售明细"));

    auto *layout = new QVBoxLayout(this);
    auto *goods = new QGroupBox(QStringLiteral("商品信息"), this);
    auto *stock = new QGroupBox(QStringLiteral("入库信息"), this);
    auto *sale = new QGroupBox(QStringLiteral("销售信息"), this);
    m_lists[0] = makeList(QStringLiteral("超级列表框1"), saleLineGoodsTitles(), goods);
    m_lists[1] = makeList(QStringLiteral("超级列表框2"), saleLineStockTitles(), stock);
    m_lists[2] = makeList(QStringLiteral("超级列表框3"), saleLineSaleTitles(), sale);
    m_lists[3] = makeList(QStringLiteral("超级列表框4"), saleLinePaymentTitles(), sale);
    (new QVBoxLayout(goods))->addWidget(m_lists[0]);
    (new QVBoxLayout(stock))->addWidget(m_lists[1]);
    auto *saleLayout = new QVBoxLayout(sale);
    saleLayout->addWidget(m_lists[2]);
    saleLayout->addWidget(m_lists[3]);
    layout->addWidget(goods);
    layout->addWidget(stock);
    layout->addWidget(sale);
    resize(680, 330);

    initSaleLineDetailWindow(context, row);
}

ReportList *SaleLineDetailWindow::list(int n) const
{
    return n >= 1 && n <= 4 ? m_lists[n - 1] : nullptr;
}

void SaleLineDetailWindow::initSaleLineDetailWindow(AppContext &context, const SoldRow &row)
{
    m_detail = saleLineDetail(context.connection(), context.currentShop, row);
    m_lists[0]->addRow(m_detail.goods);
    m_lists[1]->addRow(m_detail.stock);
    m_lists[2]->addRow(m_detail.sale);
    m_lists[3]->addRow(m_detail.payment);
}

} // namespace reports
