#pragma once
// "会员购物记录预览": the purchases of the card the checkout accepted, opened over the checkout by
// its 会员卡号 button. It reads once, when it is created.
#include <QDialog>
#include <QString>

class AppContext;
class ReportList;

namespace members {

class MemberPurchasesWindow : public QDialog
{
    Q_OBJECT
public:
    MemberPurchasesWindow(AppContext &context, const QString &card, QWidget *parent = nullptr);

    ReportList *list() const { return m_list; }

    // Lists the card's lines (ID, 商品名称, 分类, 颜色, 金额, 购物日期), oldest first.
    void loadMemberPurchaseList();

private:
    AppContext &m_context;
    QString m_card;
    ReportList *m_list = nullptr; // 超级列表框5
};

} // namespace members
