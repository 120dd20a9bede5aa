#include "members/MemberPurchasesPanel.h"

#include "lists/ReportList.h"
#include "members/MemberPurchases.h"
#include "platform/MessageSeam.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace members {

MemberPurchasesPanel::MemberPurchasesPanel(AppContext &context, QWidget *parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("消费商品明细"));
    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框5"));
    const std::pair<const char16_t *, int> columns[] = {
        {u"ID", 40},       {u"商品名称", 150}, {u"分类", 80},     {u"款号", 80},     {u"颜色", 60},
        {u"尺码", 60},     {u"数量", 50},      {u"金额", 70},     {u"结付方式", 70}, {u"积分抵扣", 70},
        {u"销售日期", 100}, {u"导购员", 70},   {u"收银员", 70},   {u"门店", 120}};
    for (const auto &[title, width] : columns)
        m_list->addColumn(QString::fromUtf16(title), width);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);

    // Lives beside the tabs; whoever places the panel places the box.
    m_totalBox = new QWidget(this);
    auto *caption = new QLabel(QStringLiteral("累计消费："), m_totalBox);
    caption->setObjectName(QStringLiteral("透明标签43"));
    m_total = new QLabel(m_totalBox);
    m_total->setObjectName(QStringLiteral("透明标签44"));
    m_total->setMinimumWidth(80);
    auto *totalLayout = new QHBoxLayout(m_totalBox);
    totalLayout->setContentsMargins(6, 0, 6, 0);
    totalLayout->addWidget(caption);
    totalLayout->addWidget(m_total);
}

QString MemberPurchasesPanel::totalText() const
{
    return m_total->text();
}

void MemberPurchasesPanel::loadMemberPurchaseHistory(const QString &card)
{
    m_list->clear();
    m_total->clear();
    const MemberPurchases purchases = members::loadMemberPurchaseHistory(m_context, card);
    if (!purchases.ok) {
        MessageSeam::message(this, QString(), kPurchasesReadFailed);
        return;
    }
    m_list->setUpdatesEnabled(false);
    for (const QStringList &cells : purchases.rows)
        m_list->ensureRowVisible(m_list->addRow(cells));
    m_list->setUpdatesEnabled(true);
    m_total->setText(purchases.total);
}

} // namespace members
