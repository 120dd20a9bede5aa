#pragma once
// The sale in progress at the counter: the lines of the cart list 超级列表框1 on the page 前台收银.
// Pricing, totals, checkout, held orders and the sale writer read and change the lines here; the
// page's list only shows them. Every cell is a text, as the list shows it.
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace cashier {

// The 17 columns of the cart, by index.
enum CartColumn {
    ColId = 0,   // the stock row's id (hidden)
    Col商品条码 = 1,
    Col分类 = 2,
    Col款号 = 3,
    Col商品名称 = 4,
    Col颜色 = 5,
    Col尺码 = 6,
    Col数量 = 7,
    Col单位 = 8,
    Col吊牌价 = 9,
    Col折扣 = 10,
    Col金额 = 11,
    Col导购员 = 12,
    Col会员卡号 = 13,
    Col结付 = 14,
    Col特价 = 15,
    Col备注 = 16,
    CartColumnCount = 17
};

inline const QString kSpecialPriceMark = QStringLiteral("√");
inline const QString kPayCash = QStringLiteral("现金");
inline const QString kPayCard = QStringLiteral("刷卡");
inline const QString kPayOther = QStringLiteral("其它");

// One cart line; the fields in column order.
struct CartLine {
    QString id;       // 0: 采购入库.id as decimal text
    QString 商品条码; // 1
    QString 分类;     // 2: 采购入库.类别
    QString 款号;     // 3
    QString 商品名称; // 4: 采购入库.名称
    QString 颜色;     // 5
    QString 尺码;     // 6
    QString 数量;     // 7: "1" when scanned
    QString 单位;     // 8
    QString 吊牌价;   // 9: the stored text
    QString 折扣;     // 10: factor applied to the line
    QString 金额;     // 11: line amount
    QString 导购员;   // 12: salesperson (checkout)
    QString 会员卡号; // 13: member card (member pricing)
    QString 结付;     // 14: "现金", "刷卡" or "其它"
    QString 特价;     // 15: "√" = special price
    QString 备注;     // 16: remark or promotion text

    QString &operator[](int column);             // column out of range: a scratch text
    const QString &operator[](int column) const; // column out of range: ""
    QStringList cells() const;                   // the 17 cells in column order
    bool isSpecial() const { return 特价 == kSpecialPriceMark; }
    qint64 stockId() const;                      // the leading whole number of id, 0 when none
    bool operator==(const CartLine &) const = default;
};

// Running sums of the cart, as texts (empty while nothing was summed).
struct CartTotals {
    QString quantity;           // Σ 数量; also carries the quantity in and out of the line edit
    QString tagTotal;           // Σ 吊牌价 × 数量
    QString amountTotal;        // Σ 金额
    QString specialAmountTotal; // Σ 金额 of special-price lines
    bool operator==(const CartTotals &) const = default;
};

class Cart : public QObject {
    Q_OBJECT
public:
    explicit Cart(QObject *parent = nullptr);

    // Column titles as the list shows them ("" for the hidden id column), and their widths.
    static const QStringList &columnTitles();
    static const QList<int> &columnWidths();
    // The column of a title (分类, 款号, ...), -1 when there is none.
    static int columnOf(const QString &title);

    int count() const { return int(m_lines.size()); }
    bool isEmpty() const { return m_lines.isEmpty(); }
    const QList<CartLine> &lines() const { return m_lines; }
    const CartLine &line(int row) const; // row out of range: an empty line
    QString cell(int row, int column) const;
    QString cell(int row, const QString &title) const;

    // Appends a line at the end (lines are never merged); returns its row.
    int append(const CartLine &line);
    bool setLine(int row, const CartLine &line);
    bool setCell(int row, int column, const QString &text);
    // Sets one column on every line (结付 at a payment kind, 导购员 for the salesperson ...).
    void setColumnForAll(int column, const QString &text);
    bool remove(int row);
    // Deletes every line; nothing else changes.
    void removeAll();
    // Replaces every line at once (held orders).
    void replaceAll(const QList<CartLine> &lines);

    // Σ 金额 as the running text sum of the amount-due box: "" for an empty cart, empty cells count 0.
    QString amountSum() const;
    // The four sums of the cart; all empty when the cart is empty.
    CartTotals computeTotals() const;

    // The cashier's sums and hand-overs that belong to the sale in progress.
    CartTotals totals;       // filled by computeCartTotals when checkout starts
    QString salesperson;     // chosen at checkout
    QString payableAmount;   // typed amount due (payable override)

    // True while a sale of this cart is being confirmed and written (one confirmation, one sale).
    bool isBeingSold() const { return m_selling; }
    void setBeingSold(bool on) { m_selling = on; }

Q_SIGNALS:
    // Any change of the lines (added, changed, removed, replaced).
    void changed();
    // After changed(), when the change was a line added at the end.
    void lineAppended(int row);

private:
    QList<CartLine> m_lines;
    bool m_selling = false;
};

// Fills cart.totals from the lines (computeCartTotals).
void computeCartTotals(Cart &cart);

} // namespace cashier
