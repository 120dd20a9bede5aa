#include "stock/TransferRecords.h"

#include "context/AppContext.h"
#include "context/Rights.h"
#include "context/Today.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "lists/ExcelExport.h"
#include "lists/ReportList.h"
#include "lists/RowColours.h"
#include "platform/Clock.h"
#include "platform/MessageSeam.h"
#include "platform/MoneySum.h"
#include "platform/NumberText.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace stock {

namespace {

const QString kPrefix = QStringLiteral("调拨记录");
} // namespace

data::Sql transferRecordsSql(AppContext &context, TransferDirection direction, const QDate &date, bool day)
{
    const data::Dialect &dialect = context.connection().dialect();
    const QString column = direction == TransferDirection::Sent ? QStringLiteral("所属店铺") : QStringLiteral("接收门店");
    const QString pattern = u'%' + date.toString(day ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("yyyy-MM-")) + u'%';
    const data::Sql where = data::both(data::eq(column, context.currentShop), dialect.like(QStringLiteral("调拨时间"), pattern));
    return data::buildSelectSql(dialect, QStringLiteral("调拨记录"), where, true, QStringLiteral("id ASC"), true);
}

QList<QStringList> transferRecordLines(AppContext &context, const data::Sql &sql, bool *ok)
{
    QList<QStringList> lines;
    data::RecordSet rs(context.connection());
    const bool opened = rs.open(sql);
    if (ok)
        *ok = opened;
    if (!opened || rs.rowCount() <= 0)
        return lines;
    const bool seeCost = rights::hasRight(context, QStringLiteral("查看进价"));
    double quantity = 0;
    MoneySum cost;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        const auto t = [&rs](const char16_t *column) { return rs.text(QString::fromUtf16(column)); };
        lines << QStringList{t(u"id"),   t(u"调拨时间"), t(u"操作员"), t(u"调出门店"), t(u"接收门店"),
                             t(u"供货商"), t(u"商品名称"), t(u"款号"), t(u"颜色"),     t(u"尺码"),
                             t(u"单位"), t(u"数量"),     seeCost ? t(u"成本价") : QString()};
        quantity += textToNumber(t(u"数量"));
        cost.addProduct(textToNumber(t(u"成本价")), textToNumber(t(u"数量")));
    }
    QStringList total(13);
    total[10] = QStringLiteral("合计");
    total[11] = numberToText(quantity);
    if (seeCost)
        total[12] = cost.text();
    lines << total;
    return lines;
}

TransferRecordsWindow::TransferRecordsWindow(AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("TransferRecordsWindow"));
    setWindowTitle(QStringLiteral("调拨记录"));
    resize(1000, 440);
    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框1"));
    for (const char16_t *title : {u"ID", u"调拨时间", u"操作员", u"调出门店", u"调入门店", u"供货商", u"商品名称", u"款号",
                                  u"颜色", u"尺码", u"单位", u"数量", u"成本价"})
        m_list->addColumn(QString::fromUtf16(title), 72);
    m_list->setColumnWidth(1, 120); // the whole time of day
    m_date = new QDateEdit(Clock::now().date(), this);
    m_date->setObjectName(QStringLiteral("起始日期"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    auto *bar = new QHBoxLayout;
    bar->addWidget(m_date);
    const auto button = [this, bar](const char16_t *name, const char16_t *caption, void (TransferRecordsWindow::*slot)()) {
        auto *b = new QPushButton(QString::fromUtf16(caption), this);
        b->setObjectName(QString::fromUtf16(name));
        bar->addWidget(b);
        connect(b, &QPushButton::clicked, this, slot);
    };
    button(u"天调出", u"按天查看调出记录", &TransferRecordsWindow::listTransfersOutOfDay);
    button(u"天调入", u"按天查看调入记录", &TransferRecordsWindow::listReceivedTransfersOfDay);
    button(u"月调出", u"按月查看调出记录", &TransferRecordsWindow::listTransfersOutOfMonth);
    button(u"月调入", u"按月查看调入记录", &TransferRecordsWindow::listReceivedTransfersOfMonth);
    bar->addStretch(1);
    button(u"超级按钮2", u"导出调拨记录", &TransferRecordsWindow::exportTransferRecords);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_list, 1);

    // This month's transfers sent by the shop.
    refreshToday(context);
    const QDate today(context.today.year.toInt(), context.today.month.toInt(), context.today.day.toInt());
    fill(transferRecordsSql(context, TransferDirection::Sent, today.isValid() ? today : Clock::now().date(), false));
}

void TransferRecordsWindow::fill(const data::Sql &sql)
{
    bool ok = false;
    const QList<QStringList> lines = transferRecordLines(m_context, sql, &ok);
    if (!ok) {
        MessageSeam::message(this, QString(), QStringLiteral("读取调拨记录失败，请检查数据库连接后重试！"));
        return;
    }
    showLinesWithTotalRow(m_list, lines);
}

void TransferRecordsWindow::listTransfersOutOfMonth()
{
    fill(transferRecordsSql(m_context, TransferDirection::Sent, m_date->date(), false));
}

void TransferRecordsWindow::listTransfersOutOfDay()
{
    fill(transferRecordsSql(m_context, TransferDirection::Sent, m_date->date(), true));
}

void TransferRecordsWindow::listReceivedTransfersOfMonth()
{
    fill(transferRecordsSql(m_context, TransferDirection::Received, m_date->date(), false));
}

void TransferRecordsWindow::listReceivedTransfersOfDay()
{
    fill(transferRecordsSql(m_context, TransferDirection::Received, m_date->date(), true));
}

void TransferRecordsWindow::exportTransferRecords()
{
    const DateParts &today = m_context.today;
    const QString name = excelExportName(kPrefix, dateOfToday(today), Clock::now().time());
    MessageSeam::message(this, QString(),
                         exportListViewToExcelInProgramDir(m_list, name) ? exportSuccessText(kPrefix)
                                                                          : exportFailureText(kPrefix));
}

void openTransferRecordsWindow(AppContext &context, QWidget *parent)
{
    TransferRecordsWindow window(context, parent);
    MessageSeam::exec(&window);
}

} // namespace stock
