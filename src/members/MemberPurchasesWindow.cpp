#include "members/MemberPurchasesWindow.h"

#include "lists/ReportList.h"
#include "members/MemberPurchases.h"
#include "platform/MessageSeam.h"

#include <QVBoxLayout>

namespace members {

MemberPurchasesWindow::MemberPurchasesWindow(AppContext &context, const QString &card, QWidget *parent)
    : QDialog(parent), m_context(context), m_card(card)
{
    setObjectName(QStringLiteral("MemberPurchasesWindow"));
    setWindowTitle(QStringLiteral("会员购物记录预览"));
    resize(502, 307);
    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框5"));
    const std::pair<const char16_t *, int> columns[] = {{u"ID", 40},   {u"商品名称", 120}, {u"分类", 80},
                                                        {u"颜色", 70}, {u"金额", 70},      {u"购物日期", 90}};
    for (const auto &[title, width] : columns)
        m_list->addColumn(QString::fromUtf16(title), width);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addWidget(m_list);

    loadMemberPurchaseList();
}

void MemberPurchasesWindow::loadMemberPurchaseList()
{
    const MemberPurchases purchases = members::loadMemberPurchaseList(m_context, m_card);
    m_list->clear();
    if (!purchases.ok) {
        MessageSeam::message(this, QString(), kPurchasesReadFailed);
        return;
    }
    m_list->setUpdatesEnabled(false);
    for (const QStringList &cells : purchases.rows)
        m_list->ensureRowVisible(m_list->addRow(cells));
    m_list->setUpdatesEnabled(true);
}

} // namespace members
