#include "cashier/SaleWriter.h"

#include "cashier/Cart.h"
#include "cashier/CartEditing.h"
#include "cashier/CheckoutState.h"
#include "context/AppContext.h"
#include "context/Today.h"
#include "data/Pinyin.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/Clock.h"
#include "platform/MessageSeam.h"
#include "platform/NumberText.h"
#include "platform/ProgramLog.h"
#include "printing/ReceiptPrinter.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>

namespace cashier {

namespace {

const QString kStockTable = QStringLiteral("采购入库");
const QString kSalesTable = QStringLiteral("销售明细");
const QString kRankingTable = QStringLiteral("销量排行");
const QString kMemberTable = QStringLiteral("会员管理");

QString lastTwoOf8(int value)
{
    return (QStringLiteral("8") + QString::number(value)).right(2);
}

QString asciiLower(QString text)
{
    for (QChar &c : text)
        if (c.unicode() >= 'A' && c.unicode() <= 'Z')
            c = QChar(c.unicode() + 32);
    return text;
}

bool isWholeNumber(const QString &text)
{
    static const QRegularExpression whole(QStringLiteral("^\\s*[+]?[0-9]+\\s*$"));
    return whole.match(text).hasMatch();
}

// floor() where a value within 1e-12 below the next whole number counts as that number.
qint64 floorNudged(double x)
{
    return qint64(std::floor(x + 1e-12));
}

// A text bound as a value of a key column: never NULL, so that an empty text matches itself.
QString nonNull(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

// What the transaction read of each line's stock row.
struct SoldRow {
    QString 进货价, 供货来源, 折扣, 入库日期, 上限, 下限, 开关;
    qint64 rest = 0; // stock after this line
};

class SaleFailure {
public:
    SaleStatus status;
    QString message;
};

// The sale's statements; each returns nothing or the failure that stops the sale.
class SaleTransaction {
public:
    SaleTransaction(AppContext &context, const QList<CartLine> &lines, const QList<SplitPayment> &splits,
                    const SaleMember &member, double payable, const QString &receiptNo,
                    const QString &saleDate, const QString &saleTime)
        : m_context(context), m_connection(context.connection()), m_dialect(m_connection.dialect()),
          m_lines(lines), m_splits(splits), m_member(member), m_payable(payable), m_receiptNo(receiptNo),
          m_saleDate(saleDate), m_saleTime(saleTime), m_month(saleDate.left(8))
    {
    }

    std::optional<SaleFailure> run()
    {
        if (auto f = checkQuantities())
            return f;
        data::Transaction transaction = m_connection.transaction();
        if (!transaction.isActive())
            return databaseFailure();
        if (auto f = takeStock())
            return f;
        if (auto f = writeLines())
            return f;
        if (auto f = countRanking())
            return f;
        if (m_member.present())
            if (auto f = updateMember())
                return f;
        if (!transaction.commit())
            return databaseFailure();
        return std::nullopt;
    }

    const QList<SoldRow> &soldRows() const { return m_sold; }

private:
    std::optional<SaleFailure> databaseFailure()
    {
        const QString error = m_connection.lastError();
        return SaleFailure{SaleStatus::Failed,
                           QStringLiteral("本单保存失败，没有写入任何数据，请重试：") + error};
    }

    std::optional<SaleFailure> checkQuantities()
    {
        for (const CartLine &line : m_lines)
            if (!isWholeNumber(line.数量) || textToInteger(line.数量) < 1)
                return SaleFailure{SaleStatus::Refused, QStringLiteral("商品【") + line.商品名称
                                                            + QStringLiteral("】的数量【") + line.数量
                                                            + QStringLiteral("】不是大于0的整数，本单没有保存")};
        return std::nullopt;
    }

    data::Sql stockRowOfShop(qint64 id) const
    {
        return data::both(data::eq(QStringLiteral("id"), id),
                          data::eq(QStringLiteral("所属店铺"), m_context.currentShop));
    }

    // Stock rows are changed in ascending id order, so that two sales never wait for each other
    // in a circle.
    std::optional<SaleFailure> takeStock()
    {
        QList<int> order(m_lines.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
            return m_lines.at(a).stockId() < m_lines.at(b).stockId();
        });
        for (int i : order) {
            const CartLine &line = m_lines.at(i);
            const qint64 q = textToInteger(line.数量);
            data::Sql set(m_dialect.increment(QStringLiteral("数量")), {-q});
            set += data::Sql(QStringLiteral(",") + m_dialect.increment(QStringLiteral("已售")), {q});
            if (!m_connection.execute(data::buildUpdateSql(m_dialect, kStockTable, set,
                                                           stockRowOfShop(line.stockId()), true)))
                return databaseFailure();
            if (m_connection.numRowsAffected() != 1)
                return SaleFailure{SaleStatus::Refused,
                                   QStringLiteral("商品【") + line.商品名称
                                       + QStringLiteral("】的库存记录已不存在或已不属于本店，本单没有保存，请删除该行后重新结算")};
        }
        return std::nullopt;
    }

    std::optional<SaleFailure> writeLines()
    {
        QMap<qint64, qint64> laterQuantity; // units of later lines of the same stock row
        for (const CartLine &line : m_lines)
            laterQuantity[line.stockId()] += textToInteger(line.数量);

        // The cart's stock rows, as taken, in one read.
        QString ids;
        QVariantList idValues;
        for (auto it = laterQuantity.cbegin(); it != laterQuantity.cend(); ++it) {
            ids += ids.isEmpty() ? QStringLiteral("?") : QStringLiteral(",?");
            idValues << it.key();
        }
        const data::Sql ofCart = data::both(data::Sql(QStringLiteral("id IN (") + ids + u')', idValues),
                                            data::eq(QStringLiteral("所属店铺"), m_context.currentShop));
        data::RecordSet rows(m_connection);
        if (!rows.open(data::buildSelectSql(m_dialect, kStockTable, ofCart, true, QString(), false)))
            return databaseFailure();
        QHash<qint64, SoldRow> stockRows; // rest holds the row's 数量
        for (rows.moveFirst(); !rows.pastLast(); rows.moveNext()) {
            SoldRow row;
            row.进货价 = rows.text(QStringLiteral("进货价"));
            row.供货来源 = rows.text(QStringLiteral("供货来源"));
            row.折扣 = rows.text(QStringLiteral("折扣"));
            row.入库日期 = rows.text(QStringLiteral("入库日期"));
            row.上限 = rows.text(QStringLiteral("上限"));
            row.下限 = rows.text(QStringLiteral("下限"));
            row.开关 = rows.text(QStringLiteral("开关"));
            row.rest = rows.integer(QStringLiteral("数量"));
            stockRows.insert(rows.integer(QStringLiteral("id")), row);
        }

        for (int i = 0; i < m_lines.size(); ++i) {
            const CartLine &line = m_lines.at(i);
            SoldRow sold = stockRows.value(line.stockId());
            qint64 &later = laterQuantity[line.stockId()];
            later -= textToInteger(line.数量);
            sold.rest += later;
            m_sold.append(sold);

            const SplitPayment &split = m_splits.at(i);
            const data::Pairs pairs = {
                {QStringLiteral("导购员"), line.导购员},
                {QStringLiteral("小票单号"), m_receiptNo},
                {QStringLiteral("商品条码"), line.商品条码},
                {QStringLiteral("类别"), line.分类},
                {QStringLiteral("款号"), line.款号},
                {QStringLiteral("颜色"), line.颜色},
                {QStringLiteral("尺码"), line.尺码},
                {QStringLiteral("进货价"), sold.进货价},
                {QStringLiteral("吊牌价"), line.吊牌价},
                {QStringLiteral("金额"), line.金额},
                {QStringLiteral("收银员"), m_context.currentUserName},
                {QStringLiteral("会员编号"), line.会员卡号},
                {QStringLiteral("销售日期"), m_saleDate},
                {QStringLiteral("结付方式"), line.结付},
                {QStringLiteral("所属店铺"), m_context.currentShop},
                {QStringLiteral("折扣"), line.折扣},
                {QStringLiteral("单位"), line.单位},
                {QStringLiteral("数量"), line.数量},
                {QStringLiteral("商品名称"), line.商品名称},
                {QStringLiteral("备注"), line.备注},
                {QStringLiteral("现金"), split.现金},
                {QStringLiteral("银行"), split.银行},
                {QStringLiteral("积分"), split.积分},
                {QStringLiteral("优惠券"), split.优惠券},
                {QStringLiteral("拼音检索"), asciiLower(data::toPinyinInitials(line.商品名称))},
                {QStringLiteral("供货来源"), sold.供货来源},
                {QStringLiteral("商品折扣"), sold.折扣},
                {QStringLiteral("入库日期"), sold.入库日期},
                {QStringLiteral("销售时间"), m_saleTime},
                {QStringLiteral("储值"), split.储值},
            };
            if (!m_connection.execute(data::buildInsertSql(m_dialect, kSalesTable, pairs)))
                return databaseFailure();
        }
        return std::nullopt;
    }

    data::Sql rankingKey(const QString &styleNo) const
    {
        return data::both(data::both(data::eq(QStringLiteral("所属店铺"), nonNull(m_context.currentShop)),
                                     data::eq(QStringLiteral("当月时间"), nonNull(m_month))),
                          data::eq(QStringLiteral("款号"), nonNull(styleNo)));
    }

    // One 销量排行 row per shop, month and style number, kept so by the table's unique index: the
    // row is added with a zero count unless it exists (a first sale of the month running at the
    // same time on another workstation waits for that one to finish and then adds nothing), then
    // counted up by an increment. Style numbers go in sorted order, so two sales never wait for
    // each other in a circle; the first line of a style gives the new row's texts.
    std::optional<SaleFailure> countRanking()
    {
        QMap<QString, int> firstLine; // style number -> first line of the cart with it (sorted)
        QMap<QString, qint64> sold;   // style number -> units of the sale
        for (int i = 0; i < m_lines.size(); ++i) {
            const QString styleNo = nonNull(m_lines.at(i).款号);
            if (!firstLine.contains(styleNo))
                firstLine.insert(styleNo, i);
            sold[styleNo] += textToInteger(m_lines.at(i).数量);
        }
        for (auto it = firstLine.cbegin(); it != firstLine.cend(); ++it) {
            const CartLine &line = m_lines.at(it.value());
            const SoldRow &row = m_sold.at(it.value());
            const data::Pairs zeroRow = {
                {QStringLiteral("类别"), line.分类},
                {QStringLiteral("款号"), it.key()},
                {QStringLiteral("成本价"), row.进货价},
                {QStringLiteral("吊牌价"), line.吊牌价},
                {QStringLiteral("最近售出日期"), m_saleDate},
                {QStringLiteral("所属店铺"), nonNull(m_context.currentShop)},
                {QStringLiteral("单位"), line.单位},
                {QStringLiteral("已售数量"), QStringLiteral("0")},
                {QStringLiteral("商品名称"), line.商品名称},
                {QStringLiteral("供货来源"), row.供货来源},
                {QStringLiteral("当月时间"), nonNull(m_month)},
            };
            data::Sql insert = data::buildInsertSql(m_dialect, kRankingTable, zeroRow);
            insert.text += QStringLiteral(" ON CONFLICT DO NOTHING");
            if (!m_connection.execute(insert))
                return databaseFailure();
            data::Sql set(m_dialect.increment(QStringLiteral("已售数量")), {sold.value(it.key())});
            set += data::Sql(QStringLiteral(",最近售出日期=?"), {m_saleDate});
            if (!m_connection.execute(data::buildUpdateSql(m_dialect, kRankingTable, set, rankingKey(it.key()), true)))
                return databaseFailure();
            if (m_connection.numRowsAffected() != 1)
                return SaleFailure{SaleStatus::Failed,
                                   QStringLiteral("本单保存失败，没有写入任何数据，请重试：销量排行【") + it.key()
                                       + QStringLiteral("】的记录不唯一")};
        }
        return std::nullopt;
    }

    // The member of this shop with the card (any shop's while members are shared), the oldest row
    // when several carry the card; or the row the checkout names.
    std::optional<SaleFailure> updateMember()
    {
        qint64 memberId = m_member.id;
        if (memberId <= 0) {
            data::Sql where = data::eq(QStringLiteral("会员卡号"), m_member.会员卡号);
            if (!isFlagOn(m_context.shopSettings.会员共享))
                where = data::both(where, data::eq(QStringLiteral("所属店铺"), m_context.currentShop));
            data::RecordSet row(m_connection);
            if (!row.open(data::buildSelectSql(m_dialect, kMemberTable, where, true, QStringLiteral("id ASC"), true)))
                return databaseFailure();
            memberId = row.rowCount() > 0 ? row.integer(QStringLiteral("id")) : 0;
        }
        if (memberId <= 0)
            return SaleFailure{SaleStatus::Refused, QStringLiteral("会员卡号【") + m_member.会员卡号
                                                        + QStringLiteral("】已不存在，本单没有保存")};
        const data::Sql byId = data::eq(QStringLiteral("id"), memberId);

        // Points and spending grow by what this sale adds to the figures the checkout read.
        const qint64 points = floorNudged(textToNumber(m_member.会员积分) + m_payable);
        const qint64 spending = floorNudged(textToNumber(m_member.消费金额AsRead) + m_payable);
        const double pointsChange = double(points) - textToNumber(m_member.积分AsRead);
        const double spendingChange = double(spending) - textToNumber(m_member.消费金额AsRead);
        data::Sql set(m_dialect.incrementDecimal(QStringLiteral("积分")), {pointsChange});
        set += data::Sql(QStringLiteral(",") + m_dialect.incrementDecimal(QStringLiteral("消费金额")), {spendingChange});
        set += data::Sql(QStringLiteral(",最近消费=?"), {m_saleDate});
        if (!m_member.会员储值.isEmpty()) {
            const double storedChange = textToNumber(m_member.会员储值) - textToNumber(m_member.储值AsRead);
            set += data::Sql(QStringLiteral(",") + m_dialect.incrementDecimal(QStringLiteral("会员储值")),
                             {storedChange});
        }
        if (!m_connection.execute(data::buildUpdateSql(m_dialect, kMemberTable, set, byId, true)))
            return databaseFailure();
        if (m_connection.numRowsAffected() != 1)
            return SaleFailure{SaleStatus::Refused, QStringLiteral("会员卡号【") + m_member.会员卡号
                                                        + QStringLiteral("】已不存在，本单没有保存")};

        // One tier step per sale, judged on the tier the member had before it.
        if (isFlagOn(m_context.shopSettings.升级模式)) {
            const auto &tiers = m_context.memberTiers;
            const QString before = m_member.会员类别;
            auto raise = [&](const MemberTier &from, const MemberTier &to) -> bool {
                data::Sql where = data::both(byId, data::eq(QStringLiteral("会员类别"), from.会员类别));
                return m_connection.execute(data::buildUpdateSql(
                    m_dialect, kMemberTable, data::Pairs{{QStringLiteral("会员类别"), to.会员类别}}, where, true));
            };
            if (points > textToInteger(tiers[1].累计积分) && before == tiers[2].会员类别 && !before.isEmpty())
                if (!raise(tiers[2], tiers[1]))
                    return databaseFailure();
            if (points > textToInteger(tiers[0].累计积分) && before == tiers[1].会员类别 && !before.isEmpty())
                if (!raise(tiers[1], tiers[0]))
                    return databaseFailure();
        }
        return std::nullopt;
    }

    AppContext &m_context;
    data::Connection &m_connection;
    const data::Dialect &m_dialect;
    const QList<CartLine> &m_lines;
    const QList<SplitPayment> &m_splits;
    const SaleMember &m_member;
    double m_payable;
    QString m_receiptNo, m_saleDate, m_saleTime, m_month;
    QList<SoldRow> m_sold;
};

// Marks the cart as being sold for the life of one confirmation.
class SellingGuard {
public:
    explicit SellingGuard(Cart &cart) : m_cart(cart) { m_cart.setBeingSold(true); }
    ~SellingGuard() { m_cart.setBeingSold(false); }
    SellingGuard(const SellingGuard &) = delete;
    SellingGuard &operator=(const SellingGuard &) = delete;

private:
    Cart &m_cart;
};

// The fewest decimals (2 to 6) that write an amount exactly.
int decimalsOf(double amount)
{
    for (int d = 2; d < 6; ++d)
        if (std::fabs(roundTo(amount, d) - amount) < 1e-9)
            return d;
    return 6;
}

// A flow network as small as the lines of one sale; augmenting paths are found breadth first.
class FlowNetwork {
public:
    explicit FlowNetwork(int nodes) : m_edgesOf(nodes) {}
    // Adds an edge and its reverse; returns the edge's index.
    int addEdge(int from, int to, qint64 capacity)
    {
        m_edgesOf[from] << int(m_edges.size());
        m_edges.append({to, capacity, 0});
        m_edgesOf[to] << int(m_edges.size());
        m_edges.append({from, 0, 0});
        return int(m_edges.size()) - 2;
    }
    void raiseCapacity(int edge, qint64 by) { m_edges[edge].capacity += by; }
    qint64 flow(int edge) const { return m_edges[edge].flow; }
    // Pushes flow from source to sink until no augmenting path is left. Flow on the edges that
    // leave the source never goes down.
    void augment(int source, int sink)
    {
        for (;;) {
            QList<int> via(m_edgesOf.size(), -1); // the edge each node was reached by
            QList<int> queue{source};
            for (int q = 0; q < queue.size() && via[sink] < 0; ++q) {
                for (int e : m_edgesOf[queue[q]]) {
                    const int to = m_edges[e].to;
                    if (to != source && via[to] < 0 && residual(e) > 0) {
                        via[to] = e;
                        queue << to;
                    }
                }
            }
            if (via[sink] < 0)
                return;
            qint64 push = std::numeric_limits<qint64>::max();
            for (int node = sink; node != source; node = m_edges[via[node] ^ 1].to)
                push = std::min(push, residual(via[node]));
            for (int node = sink; node != source; node = m_edges[via[node] ^ 1].to) {
                m_edges[via[node]].flow += push;
                m_edges[via[node] ^ 1].flow -= push;
            }
        }
    }

private:
    struct Edge {
        int to;
        qint64 capacity;
        qint64 flow;
    };
    qint64 residual(int e) const { return m_edges[e].capacity - m_edges[e].flow; }
    QList<Edge> m_edges;
    QList<QList<int>> m_edgesOf;
};

// Spreads whole units of the parts (amounts[k], k in columns) over lines in proportion to their
// weights (total > 0), as result[line][part]. Each cell is its exact share rounded down or up;
// each part adds up to its amount; each line adds up to its exact share of all the parts rounded
// down or up, the lines with the largest fractions rounding up first. The units that the rounding
// down leaves over go out as a flow: one unit per cell at most, each line its fraction's floor,
// then one more while units are left.
QList<QList<qint64>> spreadUnits(const QList<qint64> &amounts, const QList<int> &columns,
                                 const QList<qint64> &weights, qint64 total)
{
    const int lines = int(weights.size());
    QList<QList<qint64>> units(lines, QList<qint64>(amounts.size(), 0));
    const int source = lines + int(amounts.size());
    const int sink = source + 1;
    FlowNetwork network(sink + 1);
    QList<int> lineEdge(lines);
    QList<qint64> lineFraction(lines, 0); // Σ of the cells' remainders, in units of total
    QList<QList<int>> cellEdge(lines, QList<int>(amounts.size(), -1));
    QList<qint64> leftOver = amounts;
    for (int i = 0; i < lines; ++i) {
        lineEdge[i] = network.addEdge(source, i, 0);
        for (int k : columns) {
            const __int128 exact = __int128(amounts[k]) * weights[i];
            units[i][k] = qint64(exact / total);
            const qint64 remainder = qint64(exact % total);
            leftOver[k] -= units[i][k];
            if (remainder != 0) {
                cellEdge[i][k] = network.addEdge(i, lines + k, 1);
                lineFraction[i] += remainder;
            }
        }
    }
    qint64 toGive = 0;
    for (int k : columns) {
        network.addEdge(lines + k, sink, leftOver[k]);
        toGive += leftOver[k];
    }
    for (int i = 0; i < lines; ++i)
        network.raiseCapacity(lineEdge[i], lineFraction[i] / total);
    network.augment(source, sink);
    QList<int> order(lines);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return lineFraction[a] % total > lineFraction[b] % total; });
    auto given = [&] {
        qint64 sum = 0;
        for (int i = 0; i < lines; ++i)
            sum += network.flow(lineEdge[i]);
        return sum;
    };
    for (int i : order) {
        if (given() >= toGive)
            break;
        if (lineFraction[i] % total == 0)
            continue;
        network.raiseCapacity(lineEdge[i], 1);
        network.augment(source, sink);
    }
    for (int i = 0; i < lines; ++i)
        for (int k : columns)
            if (cellEdge[i][k] >= 0)
                units[i][k] += network.flow(cellEdge[i][k]);
    return units;
}

// The parts of a split by the names of their columns.
std::array<std::pair<QString, const QString *>, 5> namedParts(const SplitPayment &split)
{
    return {{{QStringLiteral("现金"), &split.现金},
             {QStringLiteral("银行"), &split.银行},
             {QStringLiteral("积分"), &split.积分},
             {QStringLiteral("优惠券"), &split.优惠券},
             {QStringLiteral("储值"), &split.储值}}};
}

// The first amount of the sale beyond the money ceiling, named for the cashier: the amount due,
// a part of the split or a line's amount; nothing when every amount is money.
std::optional<QString> amountBeyondCeiling(const QString &payable, const SplitPayment &split,
                                           const QList<CartLine> &lines)
{
    const auto named = [](const QString &what, const QString &amount) {
        const QString shown = amount.size() > 20 ? amount.left(20) + QStringLiteral("…") : amount;
        return what + QStringLiteral("【") + shown + QStringLiteral("】");
    };
    if (!moneyWithinCeiling(payable))
        return named(QStringLiteral("应付款"), payable);
    for (const auto &[name, amount] : namedParts(split))
        if (!moneyWithinCeiling(*amount))
            return named(name, *amount);
    for (const CartLine &line : lines)
        if (!moneyWithinCeiling(line.金额))
            return named(QStringLiteral("商品【") + line.商品名称 + QStringLiteral("】的金额"), line.金额);
    return std::nullopt;
}

SaleResult writeSaleUnguarded(AppContext &context, Cart &cart, const SplitPayment &split,
                              const SaleMember &member, const QString &payable, const SaleHooks &hooks,
                              QWidget *parent)
{
    SaleResult result;
    if (cart.isEmpty()) {
        result.status = SaleStatus::EmptyCart;
        return result;
    }
    const QList<CartLine> lines = cart.lines();
    // An amount no money field would take never reaches the table, not even read as 0; nor does a
    // split that gives change out of anything but cash.
    const auto beyond = amountBeyondCeiling(payable, split, lines);
    const QString refused = beyond ? moneyCeilingText() + QStringLiteral("本单没有保存：") + *beyond
                                   : splitRefusalText(split, payable);
    if (!refused.isEmpty()) {
        result.status = SaleStatus::Refused;
        result.message = refused;
        programlog::write(QStringLiteral("sale not written: ") + refused);
        MessageSeam::message(parent, QString(), refused);
        return result;
    }
    // One reading of the clock for the receipt number and the sale time.
    const QDateTime now = Clock::now();
    result.receiptNo = receiptNumber(now);
    result.saleTime = saleTimeText(now);
    result.saleDate = datingNow(context).dateText();

    QStringList amounts;
    for (const CartLine &line : lines)
        amounts << line.金额;
    const QList<SplitPayment> splits = spreadSplit(split, amounts);

    SaleTransaction sale(context, lines, splits, member, textToNumber(payable), result.receiptNo,
                         result.saleDate, result.saleTime);
    if (const auto failure = sale.run()) {
        result.status = failure->status;
        result.message = failure->message;
        programlog::write(QStringLiteral("sale not written: ") + failure->message);
        MessageSeam::message(parent, QString(), failure->message);
        return result;
    }
    result.status = SaleStatus::Written;
    context.receiptNo = result.receiptNo;

    // After the commit: the alarm questions, line by line in the order of the cart.
    const ShopSettings &shop = context.shopSettings;
    for (int i = 0; i < lines.size(); ++i) {
        const SoldRow &row = sale.soldRows().at(i);
        const QStringList questions = stockAlarmQuestions(lines.at(i).商品名称, row.rest, row.开关, row.上限,
                                                          row.下限, shop.报警开关, shop.上限报警, shop.下限报警);
        for (const QString &question : questions) {
            result.alarmQuestions << question;
            if (MessageSeam::question(parent, kStockAlarmTitle, question) && hooks.openStockAlarmReport)
                hooks.openStockAlarmReport(parent);
        }
    }
    if (isFlagOn(context.receiptPrintFlag) && hooks.receiptPrinter)
        hooks.receiptPrinter->printReceipt(receiptOf(cart, result.receiptNo));
    resetCart(cart);
    return result;
}

} // namespace

printing::Receipt receiptOf(const Cart &cart, const QString &receiptNo)
{
    printing::Receipt receipt;
    receipt.receiptNo = receiptNo;
    for (const CartLine &line : cart.lines())
        receipt.lines.append({line.分类, line.款号, line.商品名称, line.颜色, line.尺码, line.数量, line.金额});
    return receipt;
}

QString receiptNumber(const QDateTime &time)
{
    const QDate d = time.date();
    const QTime t = time.time();
    return QString::number(d.year()).right(1) + lastTwoOf8(t.second()) + lastTwoOf8(t.minute())
           + lastTwoOf8(t.hour()) + lastTwoOf8(d.day()) + lastTwoOf8(d.month());
}

QString saleTimeText(const QDateTime &time)
{
    return QString::number(time.time().hour()) + u':' + QString::number(time.time().minute());
}

QString underpaidText(const QString &payable, const QString &received, const QString &change)
{
    if (textToNumber(received) - textToNumber(payable) >= -1e-7)
        return QString();
    return QStringLiteral("应付款金额【") + payable + QStringLiteral("】\r\n实付款金额【") + received
           + QStringLiteral("】\r\n未收款金额【") + change + QStringLiteral("】");
}

QString splitRefusalText(const SplitPayment &split, const QString &payable)
{
    const auto parts = namedParts(split);
    for (const auto &[name, text] : parts) {
        // "-" or "." alone is a step of typing, not an amount: it never reaches the table as one.
        const bool hasDigit = std::any_of(text->cbegin(), text->cend(), [](QChar ch) { return ch.isDigit(); });
        if (!text->isEmpty() && !(hasDigit && numberTextAccepted(*text, 13)))
            return QStringLiteral("结付金额不是数字：") + name + QStringLiteral("【") + *text
                   + QStringLiteral("】，本单没有保存");
    }
    for (const auto &[name, text] : parts)
        if (textToNumber(*text) < -1e-7)
            return QStringLiteral("结付金额不能为负数：") + name + QStringLiteral("【") + *text
                   + QStringLiteral("】，本单没有保存");
    const double nonCash = textToNumber(split.银行) + textToNumber(split.积分) + textToNumber(split.优惠券)
                           + textToNumber(split.储值);
    if (nonCash > 1e-7 && nonCash - textToNumber(payable) > 1e-7)
        return QStringLiteral("银行、积分、优惠券和储值合计【") + numberToText(roundTo(nonCash, 10))
               + QStringLiteral("】大于应付款【") + payable + QStringLiteral("】，找零只能从现金中找出，本单没有保存");
    return QString();
}

QList<SplitPayment> spreadSplit(const SplitPayment &split, const QStringList &lineAmounts)
{
    QList<SplitPayment> out(lineAmounts.size());
    if (lineAmounts.isEmpty())
        return out;
    if (lineAmounts.size() == 1) {
        out[0] = split;
        return out;
    }
    QString SplitPayment::*const partOf[] = {&SplitPayment::现金, &SplitPayment::银行, &SplitPayment::积分,
                                             &SplitPayment::优惠券, &SplitPayment::储值};
    QList<qint64> weights; // the line amounts in millionths; negative amounts weigh nothing
    qint64 total = 0;
    for (const QString &a : lineAmounts) {
        weights << std::max<qint64>(0, std::llround(roundTo(textToNumber(a), 6) * 1e6));
        total += weights.last();
    }
    if (total == 0) {
        for (QString SplitPayment::*part : partOf) {
            if ((split.*part).isEmpty())
                continue;
            out[0].*part = split.*part;
            for (int i = 1; i < out.size(); ++i)
                out[i].*part = QStringLiteral("0");
        }
        return out;
    }
    // Whole units of the entered parts: cents, or finer when a part was entered finer (up to 6).
    int decimals = 2;
    for (QString SplitPayment::*part : partOf)
        decimals = std::max(decimals, decimalsOf(textToNumber(split.*part)));
    const double unit = std::pow(10.0, decimals);
    QList<qint64> amounts;
    QList<int> columns; // the parts entered
    for (int k = 0; k < 5; ++k) {
        amounts << std::llround(std::fabs(roundTo(textToNumber(split.*partOf[k]), decimals)) * unit);
        if (!(split.*partOf[k]).isEmpty())
            columns << k;
    }
    const QList<QList<qint64>> units = spreadUnits(amounts, columns, weights, total);
    for (int k : columns) {
        const double sign = textToNumber(split.*partOf[k]) < 0 ? -1 : 1;
        for (int i = 0; i < out.size(); ++i)
            out[i].*partOf[k] = numberToText(roundTo(sign * double(units[i][k]) / unit, decimals));
    }
    return out;
}

QStringList stockAlarmQuestions(const QString &itemName, qint64 rest, const QString &rowSwitch,
                                const QString &rowUpper, const QString &rowLower, const QString &shopSwitch,
                                const QString &shopUpper, const QString &shopLower)
{
    QStringList questions;
    const bool own = isFlagOn(rowSwitch);
    if (!own && !isFlagOn(shopSwitch))
        return questions;
    const qint64 upper = textToInteger(own ? rowUpper : shopUpper);
    const qint64 lower = textToInteger(own ? rowLower : shopLower);
    const QString head = QStringLiteral("【") + itemName + QStringLiteral("】库存数");
    const QString self = own ? QStringLiteral("自身") : QString();
    if (double(rest - upper) > 1e-7)
        questions << head + QStringLiteral("高于") + self + QStringLiteral("上限,是否查看库存报警报表");
    if (double(rest - lower) < -1e-7)
        questions << head + QStringLiteral("低于") + self + QStringLiteral("下限,是否查看库存报警报表");
    return questions;
}

SaleResult writeSale(AppContext &context, Cart &cart, const SplitPayment &split, const SaleMember &member,
                     const QString &payable, const SaleHooks &hooks, QWidget *parent)
{
    if (cart.isBeingSold()) {
        SaleResult busy;
        busy.status = SaleStatus::Busy;
        return busy;
    }
    SellingGuard guard(cart);
    return writeSaleUnguarded(context, cart, split, member, payable, hooks, parent);
}

SaleResult confirmCheckout(AppContext &context, Cart &cart, const SaleRequest &request, const SaleHooks &hooks,
                           QWidget *parent)
{
    SaleResult result;
    if (cart.isBeingSold()) {
        result.status = SaleStatus::Busy;
        return result;
    }
    SellingGuard guard(cart);
    const QString underpaid = underpaidText(request.payable, request.received, request.change);
    if (!underpaid.isEmpty()) {
        result.status = SaleStatus::Underpaid;
        result.message = underpaid;
        MessageSeam::message(parent, QString(), underpaid);
        return result;
    }
    const SplitPayment split = request.split ? request.splitFields : SplitPayment{};
    return writeSaleUnguarded(context, cart, split, request.member, request.payable, hooks, parent);
}

} // namespace cashier
