#include "cashier/Cart.h"

#include "data/RecordSet.h"
#include "platform/NumberText.h"

namespace cashier {

namespace {
QString scratch;
const QString emptyText;
const CartLine emptyLine;
} // namespace

QString &CartLine::operator[](int column)
{
    switch (column) {
    case ColId: return id;
    case Col商品条码: return 商品条码;
    case Col分类: return 分类;
    case Col款号: return 款号;
    case Col商品名称: return 商品名称;
    case Col颜色: return 颜色;
    case Col尺码: return 尺码;
    case Col数量: return 数量;
    case Col单位: return 单位;
    case Col吊牌价: return 吊牌价;
    case Col折扣: return 折扣;
    case Col金额: return 金额;
    case Col导购员: return 导购员;
    case Col会员卡号: return 会员卡号;
    case Col结付: return 结付;
    case Col特价: return 特价;
    case Col备注: return 备注;
    default: scratch.clear(); return scratch;
    }
}

const QString &CartLine::operator[](int column) const
{
    if (column < 0 || column >= CartColumnCount)
        return emptyText;
    return const_cast<CartLine &>(*this)[column];
}

QStringList CartLine::cells() const
{
    QStringList out;
    out.reserve(CartColumnCount);
    for (int c = 0; c < CartColumnCount; ++c)
        out << (*this)[c];
    return out;
}

qint64 CartLine::stockId() const
{
    return data::RecordSet::leadingInteger(id);
}

Cart::Cart(QObject *parent) : QObject(parent) {}

const QStringList &Cart::columnTitles()
{
    static const QStringList titles = {
        QString(), QStringLiteral("商品条码"), QStringLiteral("分类"), QStringLiteral("款号"),
        QStringLiteral("商品名称"), QStringLiteral("颜色"), QStringLiteral("尺码"), QStringLiteral("数量"),
        QStringLiteral("单位"), QStringLiteral("吊牌价"), QStringLiteral("折扣"), QStringLiteral("金额"),
        QStringLiteral("导购员"), QStringLiteral("会员卡号"), QStringLiteral("结付"), QStringLiteral("特价"),
        QStringLiteral("备注")};
    return titles;
}

const QList<int> &Cart::columnWidths()
{
    static const QList<int> widths = {0, 120, 80, 85, 160, 55, 45, 40, 40, 65, 40, 65, 55, 70, 40, 40, 130};
    return widths;
}

int Cart::columnOf(const QString &title)
{
    if (title.isEmpty())
        return -1;
    return int(columnTitles().indexOf(title));
}

const CartLine &Cart::line(int row) const
{
    if (row < 0 || row >= m_lines.size())
        return emptyLine;
    return m_lines.at(row);
}

QString Cart::cell(int row, int column) const
{
    return line(row)[column];
}

QString Cart::cell(int row, const QString &title) const
{
    return cell(row, columnOf(title));
}

int Cart::append(const CartLine &line)
{
    m_lines.append(line);
    const int row = int(m_lines.size()) - 1;
    Q_EMIT changed();
    Q_EMIT lineAppended(row);
    return row;
}

bool Cart::setLine(int row, const CartLine &line)
{
    if (row < 0 || row >= m_lines.size())
        return false;
    m_lines[row] = line;
    Q_EMIT changed();
    return true;
}

bool Cart::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= m_lines.size() || column < 0 || column >= CartColumnCount)
        return false;
    m_lines[row][column] = text;
    Q_EMIT changed();
    return true;
}

void Cart::setColumnForAll(int column, const QString &text)
{
    if (column < 0 || column >= CartColumnCount || m_lines.isEmpty())
        return;
    bool differs = false;
    for (CartLine &l : m_lines) {
        differs = differs || l[column] != text;
        l[column] = text;
    }
    if (differs) // the list is not rebuilt for nothing (member pricing sets columns on every keystroke)
        Q_EMIT changed();
}

bool Cart::remove(int row)
{
    if (row < 0 || row >= m_lines.size())
        return false;
    m_lines.removeAt(row);
    Q_EMIT changed();
    return true;
}

void Cart::removeAll()
{
    if (m_lines.isEmpty())
        return;
    m_lines.clear();
    Q_EMIT changed();
}

void Cart::replaceAll(const QList<CartLine> &lines)
{
    m_lines = lines;
    Q_EMIT changed();
}

QString Cart::amountSum() const
{
    QString sum;
    for (const CartLine &l : m_lines)
        sum = numberToText(textToNumber(sum) + textToNumber(l.金额));
    return sum;
}

CartTotals Cart::computeTotals() const
{
    CartTotals t;
    for (const CartLine &l : m_lines) {
        const double q = textToNumber(l.数量);
        t.tagTotal = numberToText(textToNumber(t.tagTotal) + textToNumber(l.吊牌价) * q);
        t.quantity = numberToText(textToNumber(t.quantity) + q);
        t.amountTotal = numberToText(textToNumber(t.amountTotal) + textToNumber(l.金额));
        if (l.isSpecial())
            t.specialAmountTotal = numberToText(textToNumber(t.specialAmountTotal) + textToNumber(l.金额));
    }
    return t;
}

void computeCartTotals(Cart &cart)
{
    cart.totals = cart.computeTotals();
}

} // namespace cashier
