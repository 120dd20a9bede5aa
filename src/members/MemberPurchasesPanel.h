#pragma once
// The page "消费商品明细" of the member page's history tab: every line the selected member bought,
// in any shop (超级列表框5), and beside the tabs the total spend (透明标签43 "累计消费：" and
// 透明标签44).
#include <QString>
#include <QWidget>

class AppContext;
class QLabel;
class ReportList;

namespace members {

class MemberPurchasesPanel : public QWidget
{
    Q_OBJECT
public:
    explicit MemberPurchasesPanel(AppContext &context, QWidget *parent = nullptr);

    // Lists the card's purchases and shows their total; an empty card (no member selected) empties
    // the list and the total.
    void loadMemberPurchaseHistory(const QString &card);

    ReportList *list() const { return m_list; }
    // The caption and the total, to be placed beside the tabs.
    QWidget *totalBox() const { return m_totalBox; }
    QString totalText() const;

private:
    AppContext &m_context;
    ReportList *m_list = nullptr; // 超级列表框5
    QWidget *m_totalBox = nullptr;
    QLabel *m_total = nullptr;    // 透明标签44
};

} // namespace members
