#pragma once
// The detail window of one sold line (caption "销售明细"): four one-row lists under the group
// boxes 商品信息, 入库信息 and 销售信息, with the remaining stock of the item and the line's gross
// profit.
#include <QDialog>

#include "reports/SalesDetail.h"

class AppContext;
class ReportList;

namespace reports {

class SaleLineDetailWindow : public QDialog
{
    Q_OBJECT
public:
    // A stock lookup that failed is said at once (the connection has logged it); the window
    // then shows the line without 剩余库存 and 操作员.
    static inline const QString StockReadFailedText =
        QStringLiteral("读取库存失败，剩余库存和操作员无法显示，请检查数据库连接后重试！");

    SaleLineDetailWindow(AppContext &context, const SoldRow &row, QWidget *parent = nullptr);

    // 超级列表框1 .. 超级列表框4.
    ReportList *list(int n) const;
    const SaleLineDetail &detail() const { return m_detail; }

private:
    void initSaleLineDetailWindow(AppContext &context, const SoldRow &row);

    ReportList *m_lists[4] = {};
    SaleLineDetail m_detail;
};

} // namespace reports
