#include "lists/ListSort.h"

#include "lists/ReportList.h"
#include "lists/ReportListModel.h"
#include "platform/Gbk.h"
#include "platform/NumberText.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

QString listSortNotReportText() { return QStringLiteral("该超级列表框不是报表类型"); }
QString listSortBadColumnText() { return QStringLiteral("错误的列索引"); }
QString listSortBadTypeText() { return QStringLiteral("排序类型不对"); }
QString listSortDoneText() { return QStringLiteral("排序完成"); }

namespace {

constexpr double numberTolerance = 0.0000001;

bool isSortType(int type)
{
    return type == ListSortType::Integer || type == ListSortType::LongInteger || type == ListSortType::Double
        || type == ListSortType::DateTime || type == ListSortType::Text;
}

// GBK bytes; ASCII letters upper-cased unless case matters. The trail byte of a double-byte
// character is never touched (it may look like a letter).
QByteArray textKey(const QString &text, bool caseSensitive)
{
    QByteArray bytes = gbk::encode(text);
    if (caseSensitive)
        return bytes;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x81 && i + 1 < bytes.size()) {
            ++i;
            continue;
        }
        if (c >= 'a' && c <= 'z')
            bytes[i] = static_cast<char>(c - 32);
    }
    return bytes;
}

const QDateTime &earliestDateTime()
{
    static const QDateTime earliest(QDate(100, 1, 1), QTime(0, 0));
    return earliest;
}

qint64 dateKey(const QDateTime &t)
{
    return t.date().toJulianDay() * 86400000LL + t.time().msecsSinceStartOfDay();
}

// Which key comes first, and when two keys count as equal, for each kind of key.
struct TextOrder {
    static bool less(const QByteArray &a, const QByteArray &b) { return a < b; }
    static bool equal(const QByteArray &a, const QByteArray &b) { return a == b; }
};
struct NumberOrder {
    static bool less(double a, double b) { return a < b; }
    static bool equal(double a, double b) { return std::fabs(a - b) <= numberTolerance; }
};
struct DateOrder {
    static bool less(qint64 a, qint64 b) { return a < b; }
    static bool equal(qint64 a, qint64 b) { return a == b; }
};

// One pass after another: the first remaining key is the candidate; every later key that comes
// first or is equal replaces it; the candidate is taken out.
template <class Order, class K>
void selectionOrder(std::vector<int> pending, const std::vector<K> &keys, bool ascending, QVector<int> &out)
{
    auto replaces = [&](const K &e, const K &cand) {
        if (Order::equal(e, cand))
            return true;
        return ascending ? Order::less(e, cand) : Order::less(cand, e);
    };
    while (pending.size() >= 2) {
        std::size_t c = 0;
        for (std::size_t j = 1; j < pending.size(); ++j)
            if (replaces(keys[pending[j]], keys[pending[c]]))
                c = j;
        out.append(pending[c]);
        pending.erase(pending.begin() + std::ptrdiff_t(c));
    }
    if (!pending.empty())
        out.append(pending.front());
}

// The selection order without its quadratic cost. Group the keys into runs that are linked by
// equality in sorted order; keys of different runs never count as equal, so every pass of the
// selection takes its row from the foremost run that still has rows, and within a run it behaves as
// if the run were alone. A run whose extremes are equal has all keys equal: the selection takes its
// rows last first. Only runs chained by the number tolerance need the selection itself.
template <class Order, class K>
QVector<int> fastOrder(const std::vector<K> &keys, bool ascending)
{
    const int n = int(keys.size());
    std::vector<int> sorted(n);
    std::iota(sorted.begin(), sorted.end(), 0);
    std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) {
        return ascending ? Order::less(keys[a], keys[b]) : Order::less(keys[b], keys[a]);
    });

    QVector<int> out;
    out.reserve(n);
    int i = 0;
    while (i < n) {
        int j = i + 1;
        while (j < n && Order::equal(keys[sorted[j - 1]], keys[sorted[j]]))
            ++j;
        std::vector<int> run(sorted.begin() + i, sorted.begin() + j);
        std::sort(run.begin(), run.end());
        if (run.size() == 1 || Order::equal(keys[sorted[i]], keys[sorted[j - 1]])) {
            for (auto it = run.rbegin(); it != run.rend(); ++it)
                out.append(*it);
        } else {
            selectionOrder<Order>(std::move(run), keys, ascending, out);
        }
        i = j;
    }
    return out;
}

template <bool Fast>
QVector<int> orderFor(const QStringList &keys, int type, bool ascending, bool caseSensitive)
{
    const int n = int(keys.size());
    if (type == ListSortType::Text) {
        std::vector<QByteArray> k;
        k.reserve(n);
        for (const QString &s : keys)
            k.push_back(textKey(s, caseSensitive));
        if constexpr (Fast)
            return fastOrder<TextOrder>(k, ascending);
        QVector<int> out;
        std::vector<int> all(n);
        std::iota(all.begin(), all.end(), 0);
        selectionOrder<TextOrder>(std::move(all), k, ascending, out);
        return out;
    }
    if (type == ListSortType::DateTime) {
        std::vector<qint64> k;
        k.reserve(n);
        for (const QString &s : keys)
            k.push_back(dateKey(listSortDateTime(s)));
        if constexpr (Fast)
            return fastOrder<DateOrder>(k, ascending);
        QVector<int> out;
        std::vector<int> all(n);
        std::iota(all.begin(), all.end(), 0);
        selectionOrder<DateOrder>(std::move(all), k, ascending, out);
        return out;
    }
    std::vector<double> k;
    k.reserve(n);
    for (const QString &s : keys)
        k.push_back(textToNumber(s));
    if constexpr (Fast)
        return fastOrder<NumberOrder>(k, ascending);
    QVector<int> out;
    std::vector<int> all(n);
    std::iota(all.begin(), all.end(), 0);
    selectionOrder<NumberOrder>(std::move(all), k, ascending, out);
    return out;
}

} // namespace

QDateTime listSortDateTime(const QString &input)
{
    const QString text = toHalfWidth(input);

    static const QRegularExpression separated(
        QStringLiteral("^\\s*(\\d{1,4})([-/.])(\\d{1,2})\\2(\\d{1,2})(?:(?:\\s+|T)(.*))?$"));
    static const QRegularExpression chinese(
        QStringLiteral("^\\s*(\\d{1,4})\\s*年\\s*(\\d{1,2})\\s*月\\s*(\\d{1,2})\\s*[日号]?\\s*(.*)$"));
    static const QRegularExpression timePart(
        QStringLiteral("^(\\d{1,2})\\s*(?::|时|点)\\s*(\\d{1,2})(?:\\s*(?::|分)\\s*(\\d{1,2})(?:\\.(\\d{1,3})\\d*)?\\s*秒?|\\s*分)?\\s*$"));

    int year = 0, month = 0, day = 0;
    QString rest;
    QRegularExpressionMatch m = separated.match(text);
    if (m.hasMatch()) {
        year = m.captured(1).toInt();
        month = m.captured(3).toInt();
        day = m.captured(4).toInt();
        rest = m.captured(5).trimmed();
    } else {
        m = chinese.match(text);
        if (!m.hasMatch())
            return earliestDateTime();
        year = m.captured(1).toInt();
        month = m.captured(2).toInt();
        day = m.captured(3).toInt();
        rest = m.captured(4).trimmed();
    }
    const QDate date(year, month, day);
    if (!date.isValid() || year < 100)
        return earliestDateTime();
    QTime time(0, 0);
    if (!rest.isEmpty()) {
        const QRegularExpressionMatch t = timePart.match(rest);
        if (!t.hasMatch())
            return earliestDateTime();
        QString ms = t.captured(4);
        while (!ms.isEmpty() && ms.size() < 3)
            ms.append(u'0');
        time = QTime(t.captured(1).toInt(), t.captured(2).toInt(), t.captured(3).toInt(), ms.toInt());
        if (!time.isValid())
            return earliestDateTime();
    }
    return QDateTime(date, time);
}

QVector<int> listSortOrder(const QStringList &keys, int type, bool ascending, bool caseSensitive)
{
    return orderFor<true>(keys, type, ascending, caseSensitive);
}

QVector<int> listSortOrderBySelection(const QStringList &keys, int type, bool ascending, bool caseSensitive)
{
    return orderFor<false>(keys, type, ascending, caseSensitive);
}

QString sortListViewByColumn(QAbstractItemView *view, int column, bool ascending, bool caseSensitive, int type)
{
    auto *list = qobject_cast<ReportList *>(view);
    if (!list)
        return listSortNotReportText();
    return sortReportListModel(list->listModel(), column, ascending, caseSensitive, type);
}

QString sortReportListModel(ReportListModel *model, int column, bool ascending, bool caseSensitive, int type)
{
    if (!model)
        return listSortNotReportText();
    if (column < 0 || column >= model->columnCount())
        return listSortBadColumnText();
    if (!isSortType(type))
        return listSortBadTypeText();

    const int rows = model->rowCount();
    if (rows < 2)
        return listSortDoneText();
    QStringList keys;
    keys.reserve(rows);
    for (int r = 0; r < rows; ++r)
        keys.append(model->cellText(r, column));
    model->reorder(listSortOrder(keys, type, ascending, caseSensitive));
    return listSortDoneText();
}
