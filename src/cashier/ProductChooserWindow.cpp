#include "cashier/ProductChooserWindow.h"

#include "lists/ReportList.h"

#include <QKeyEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace cashier {

ProductChooserWindow::ProductChooserWindow(const LookupKey &key, const QList<FoundItem> &rows,
                                           QWidget *parent)
    : QDialog(parent), m_rows(rows)
{
    setObjectName(QStringLiteral("ProductChooserWindow"));
    setModal(true);
    resize(974, 276);
    m_picked.searchText = key.key;
    setWindowTitle(chooserTitle(key.kind));

    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框1"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this] { pickProduct(); });
    initProductChooserWindow(rows);
}

void ProductChooserWindow::initProductChooserWindow(const QList<FoundItem> &rows)
{
    m_picked.result.clear();
    struct Column { const char16_t *title; int width; };
    static const Column columns[] = {
        {u"", 0},        {u"款号", 80},  {u"分类", 70},   {u"商品条码", 120}, {u"商品名称", 170},
        {u"颜色", 60},   {u"尺码", 40},  {u"库存", 40},   {u"单位", 40},      {u"吊牌价", 65},
        {u"折扣", 40},   {u"供货来源", 120}, {u"入库日期", 90}, {u"", 0}};
    for (const Column &c : columns)
        m_list->addColumn(QString::fromUtf16(c.title), c.width);
    for (const FoundItem &r : rows) {
        const int row = m_list->addRow({QString::number(r.id), r.款号, r.类别, r.商品条码, r.名称, r.颜色,
                                        r.尺码, r.数量, r.单位, r.吊牌价, r.折扣, r.供货来源, r.入库日期,
                                        r.特价});
        Q_UNUSED(row);
    }
    // The first row is selected and shown, so Enter takes it at once and the arrow keys move
    // from the top.
    if (m_list->rowCount() > 0) {
        m_list->selectRow(0);
        m_list->ensureRowVisible(0);
    }
    m_list->setFocus();
    m_picked.result.clear();
}

void ProductChooserWindow::pickProduct()
{
    const int row = m_list->selectedRow();
    if (row < 0)
        return;
    const qint64 id = m_list->cellText(row, 0).toLongLong();
    const auto found = std::find_if(m_rows.cbegin(), m_rows.cend(),
                                    [id](const FoundItem &item) { return item.id == id; });
    if (found == m_rows.cend())
        return;
    m_picked.item = *found;
    m_picked.searchText = m_picked.item.款号;
    m_picked.result = QStringLiteral("双击");
    accept();
}

void ProductChooserWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        pickProduct();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace cashier
