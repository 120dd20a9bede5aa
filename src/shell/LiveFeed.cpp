#include "shell/LiveFeed.h"

#include "context/AppContext.h"
#include "context/Today.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/Clock.h"
#include "platform/ProgramLog.h"

#include <algorithm>
#include <limits>

namespace shell {

namespace {

const QString kSales = QStringLiteral("销售明细");
const QString kMessages = QStringLiteral("消息管理");

QString twoDigits(const QString &number)
{
    return number.size() < 2 ? QStringLiteral("0") + number : number;
}

bool readServerClock(AppContext &context, DateParts *stamp)
{
    data::Connection &connection = context.connection();
    if (!connection.isOpen())
        return false;
    data::RecordSet rs(connection);
    if (!rs.open(connection.dialect().serverDateSql()) || rs.pastLast())
        return false;
    const QString text = rs.text(0);
    DateParts parts;
    if (!cutServerDate(text, &parts)) {
        programlog::write(QStringLiteral("Live feed: the server's clock reads \"%1\"; no message posted.").arg(text));
        return false;
    }
    context.serverDateText = text;
    *stamp = parts;
    return true;
}

} // namespace

int saleTimeMinutes(const QString &saleTime)
{
    const QStringList parts = saleTime.trimmed().split(u':');
    if (parts.size() < 2)
        return -1;
    bool hourOk = false;
    bool minuteOk = false;
    const int hour = parts[0].toInt(&hourOk);
    const int minute = parts[1].toInt(&minuteOk);
    if (!hourOk || !minuteOk || hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return -1;
    return hour * 60 + minute;
}

QList<QStringList> liveSalesLines(AppContext &context, bool *ok)
{
    struct Line
    {
        int minutes;
        qint64 id;
        QStringList cells;
    };
    QList<Line> lines;
    data::Connection &connection = context.connection();
    data::RecordSet rs(connection);
    const bool opened = rs.open(data::buildSelectSql(connection.dialect(), kSales,
                                                     data::eq(QStringLiteral("销售日期"), todayText(context)), true,
                                                     QStringLiteral("id ASC"), true));
    if (ok)
        *ok = opened;
    if (opened) {
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
            const auto t = [&rs](const char16_t *column) { return rs.text(QString::fromUtf16(column)); };
            const int minutes = saleTimeMinutes(t(u"销售时间"));
            lines.append({minutes < 0 ? std::numeric_limits<int>::max() : minutes, rs.integer(QStringLiteral("id")),
                          {t(u"商品名称"), t(u"类别"), t(u"款号"), t(u"颜色"), t(u"尺码"), t(u"数量"), t(u"单位"),
                           t(u"金额"), t(u"销售时间"), t(u"所属店铺")}});
        }
    }
    std::stable_sort(lines.begin(), lines.end(), [](const Line &a, const Line &b) {
        return a.minutes != b.minutes ? a.minutes < b.minutes : a.id < b.id;
    });
    QList<QStringList> cells;
    for (const Line &line : std::as_const(lines))
        cells << line.cells;
    return cells;
}

QList<QStringList> todayMessageLines(AppContext &context, bool *ok)
{
    QList<QStringList> lines;
    data::Connection &connection = context.connection();
    data::RecordSet rs(connection);
    const bool opened = rs.open(data::buildSelectSql(connection.dialect(), kMessages,
                                                     data::eq(QStringLiteral("发送日期"), todayText(context)), true,
                                                     QStringLiteral("发送时间 ASC, id ASC"), true));
    if (ok)
        *ok = opened;
    if (!opened)
        return lines;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        lines << QStringList{QString(), rs.text(QStringLiteral("消息")), rs.text(QStringLiteral("所属店铺")),
                             rs.text(QStringLiteral("店员")), rs.text(QStringLiteral("发送时间"))};
    }
    return lines;
}

bool readMessageClock(AppContext &context, DateParts *stamp)
{
    DateParts parts;
    if (context.connection().backend() == data::Backend::Postgres) {
        if (!readServerClock(context, &parts))
            return false;
        context.today = parts;
    } else {
        const QDateTime now = Clock::now();
        if (!now.isValid())
            return false;
        context.today = localDateParts(now);
        parts = context.today;
    }
    *stamp = parts;
    return true;
}

bool postBroadcastMessage(AppContext &context, const QString &message)
{
    DateParts stamp;
    if (!readMessageClock(context, &stamp))
        return false;
    data::Connection &connection = context.connection();
    const data::Pairs pairs{{QStringLiteral("消息"), message},
                            {QStringLiteral("所属店铺"), context.currentShop},
                            {QStringLiteral("发送时间"), twoDigits(stamp.hour) + u':' + twoDigits(stamp.minute)},
                            {QStringLiteral("发送日期"), stamp.dateText()},
                            {QStringLiteral("店员"), context.currentUserName}};
    return connection.execute(data::buildInsertSql(connection.dialect(), kMessages, pairs));
}

} // namespace shell
