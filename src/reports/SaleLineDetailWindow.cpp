#include "reports/SaleLineDetailWindow.h"

#include "context/AppContext.h"
#include "lists/ReportList.h"
#include "platform/MessageSeam.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QVBoxLayout>

#include <algorithm>

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

// Widens each column to its title and its one cell, never below the default width, so that a
// 13-digit barcode, a receipt number or a date is shown whole. Returns the list's total width.
int fitColumns(ReportList *list)
{
    QHeaderView *header = list->header();
    for (int c = 0; c < header->count(); ++c) {
        list->resizeColumnToContents(c);
        header->resizeSection(c, std::max(80, list->columnWidth(c) + 8));
    }
    return header->length() + 2 * list->frameWidth();
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
    if (!m_detail.ok)
        MessageSeam::message(this, QString(), StockReadFailedText);

    // The window grows to the widest list, so no list needs a horizontal scroll bar.
    int widest = 0;
    for (ReportList *list : m_lists)
        widest = std::max(widest, fitColumns(list));
    int chrome = 0;
    for (QWidget *w = m_lists[0]->parentWidget(); w; w = w == this ? nullptr : w->parentWidget()) {
        const QMargins m = w->layout() ? w->layout()->contentsMargins() : QMargins();
        chrome += m.left() + m.right() + (w == this ? 0 : 8); // 8: the group box's frame
    }
    resize(std::max(width(), widest + chrome), height());
}

} // namespace reports
