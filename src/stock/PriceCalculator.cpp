#include "stock/PriceCalculator.h"

#include "context/AppContext.h"
#include "platform/MessageSeam.h"
#include "platform/NumberText.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace stock {

namespace {

// A figure as the form holds it: read in single precision.
double single(const QString &text)
{
    return double(float(textToNumber(text)));
}

} // namespace

QString calculatorProfit(const QString &cost, const QString &tagPrice, const QString &discount, int decimals)
{
    return numberToText(roundTo(single(tagPrice) * single(discount) - single(cost), decimals));
}

QString calculatorMargin(const QString &profit, const QString &cost)
{
    const double c = single(cost);
    if (c == 0)
        return QString();
    return percentText(single(profit) / c * 100);
}

std::optional<QString> calculatorTagPrice(const QString &cost, const QString &profit, const QString &discount)
{
    const double d = single(discount);
    if (d == 0)
        return std::nullopt;
    return numberToText(roundTo((single(cost) + single(profit)) / d, 0));
}

PriceCalculatorWindow::PriceCalculatorWindow(AppContext &context, PriceCalcValues &values, QWidget *parent)
    : QDialog(parent), m_context(context), m_values(values)
{
    setObjectName(QStringLiteral("PriceCalculatorWindow"));
    setWindowTitle(QStringLiteral("定价计算器"));
    auto *group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("分组框1"));
    auto *form = new QFormLayout(group);
    const auto edit = [group, form](const char16_t *name, const char16_t *label) {
        auto *box = new QLineEdit(group);
        box->setObjectName(QString::fromUtf16(name));
        form->addRow(QString::fromUtf16(label), box);
        return box;
    };
    m_cost = edit(u"成本价B", u"成  本  价");
    m_tag = edit(u"吊牌价", u"吊  牌  价");
    m_discount = edit(u"折扣", u"销售折扣");
    m_margin = edit(u"利润率", u"利  润  率");
    m_profit = edit(u"毛利", u"毛       利");
    auto *back = new QPushButton(QStringLiteral("按毛利逆推吊牌价"), group);
    back->setObjectName(QStringLiteral("按钮1"));
    auto *confirm = new QPushButton(QStringLiteral("确认填写"), group);
    confirm->setObjectName(QStringLiteral("按钮2"));
    form->addRow(back);
    form->addRow(confirm);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);

    // Only the clerk's typing runs the handlers (textEdited), never the program's own texts.
    connect(m_tag, &QLineEdit::textEdited, this, &PriceCalculatorWindow::recomputeProfit);
    connect(m_discount, &QLineEdit::textEdited, this, &PriceCalculatorWindow::recomputeProfit);
    connect(m_cost, &QLineEdit::textEdited, this, &PriceCalculatorWindow::backCalcTagPrice);
    connect(back, &QPushButton::clicked, this, &PriceCalculatorWindow::backCalcTagPrice);
    connect(confirm, &QPushButton::clicked, this, &PriceCalculatorWindow::returnCalculatedPrices);

    m_discount->setText(QStringLiteral("0.7"));
    m_cost->setText(values.成本价);
    m_discount->setText(values.折扣);
    m_tag->setText(values.吊牌价);
    recomputeProfit();
    m_tag->setToolTip(QStringLiteral("结果取整"));
    m_profit->setToolTip(QStringLiteral("毛利 = 吊牌价× 销售折扣 - 成本价"));
    m_margin->setToolTip(QStringLiteral("利润率 = 毛利 ÷ 成本价 × 100%"));
}

QLineEdit *PriceCalculatorWindow::field(const QString &name) const
{
    return findChild<QLineEdit *>(name);
}

void PriceCalculatorWindow::recomputeProfit()
{
    const int decimals = int(textToInteger(m_context.shopSettings.销售));
    m_profit->setText(calculatorProfit(m_cost->text(), m_tag->text(), m_discount->text(), decimals));
    m_margin->setText(calculatorMargin(m_profit->text(), m_cost->text()));
}

void PriceCalculatorWindow::backCalcTagPrice()
{
    // A discount of 0 has no tag price: the field keeps what it shows.
    if (const auto tag = calculatorTagPrice(m_cost->text(), m_profit->text(), m_discount->text()))
        m_tag->setText(*tag);
}

void PriceCalculatorWindow::returnCalculatedPrices()
{
    m_values.成本价 = m_cost->text();
    m_values.折扣 = m_discount->text();
    m_values.吊牌价 = m_tag->text();
    m_values.result = QStringLiteral("填");
    accept();
}

void openPriceCalculatorWindow(AppContext &context, QLineEdit *cost, QLineEdit *tagPrice, QLineEdit *discount,
                               QWidget *parent)
{
    PriceCalcValues values{cost->text(), tagPrice->text(), discount->text(), QString()};
    PriceCalculatorWindow window(context, values, parent);
    MessageSeam::exec(&window);
    if (values.result != QStringLiteral("填"))
        return;
    cost->setText(values.成本价);
    tagPrice->setText(values.吊牌价);
    discount->setText(values.折扣);
}

} // namespace stock
