#pragma once
// The price calculator of the purchase form ("定价计算器"): the gross profit per item at a discount
// and the margin on cost, or the tag price for a wanted profit. Inputs are read in single
// precision, as the form's figures are.
#include <QDialog>
#include <QString>
#include <optional>

class AppContext;
class QLineEdit;

namespace stock {

// The hand-over between the purchase form and the calculator.
struct PriceCalcValues {
    QString 成本价;
    QString 吊牌价;
    QString 折扣;
    QString result; // "填" once confirmed
};

// 毛利 = 吊牌价 × 折扣 − 成本价 at the shop's sale decimals.
QString calculatorProfit(const QString &cost, const QString &tagPrice, const QString &discount, int decimals);
// 利润率 = 毛利 ÷ 成本价 × 100, cut to its first five characters, with "%"; "" when the cost is 0.
QString calculatorMargin(const QString &profit, const QString &cost);
// 吊牌价 = (成本价 + 毛利) ÷ 折扣 as a whole number; nothing when the discount is 0.
std::optional<QString> calculatorTagPrice(const QString &cost, const QString &profit, const QString &discount);

class PriceCalculatorWindow : public QDialog
{
    Q_OBJECT
public:
    PriceCalculatorWindow(AppContext &context, PriceCalcValues &values, QWidget *parent = nullptr);

    void recomputeProfit();     // the clerk typed into 吊牌价 or 折扣
    void backCalcTagPrice();    // the clerk typed into 成本价B, or 按毛利逆推吊牌价
    void returnCalculatedPrices(); // 确认填写

    QLineEdit *field(const QString &name) const;

private:
    AppContext &m_context;
    PriceCalcValues &m_values;
    QLineEdit *m_cost, *m_tag, *m_discount, *m_margin, *m_profit;
};

// 定价工具: the form's cost, tag price and discount go to the calculator; 确认填写 writes them back,
// any other closing leaves the form as it was.
void openPriceCalculatorWindow(AppContext &context, QLineEdit *cost, QLineEdit *tagPrice, QLineEdit *discount,
                               QWidget *parent);

} // namespace stock
