#include "reports/SalesReportWindow.h"

#include "context/AppContext.h"
#include "context/OperationLog.h"
#include "context/Rights.h"
#include "context/Today.h"
#include "data/Sql.h"
#include "lists/ExcelExport.h"
#include "lists/ReportList.h"
#include "lists/RowColours.h"
#include "platform/Clock.h"
#include "platform/MessageSeam.h"
#include "reports/Settlement.h"
#include "reports/SummaryRemarkDialog.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace reports {

SalesReportWindow::SalesReportWindow(AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("SalesReportWindow"));
    setWindowTitle(QStringLiteral("销售报表"));
    resize(1040, 480);
    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框1"));
    for (const auto &column : summaryListColumns())
        m_list->addColumn(column.first, column.first == QStringLiteral("ID")         ? 40
                                        : column.first == QStringLiteral("结算日期") ? 90
                                        : column.first == QStringLiteral("备注")     ? 160
                                                                                      : 68);
    refreshToday(context);
    m_date = new QDateEdit(dateOfToday(context.today), this);
    m_date->setObjectName(QStringLiteral("起始日期"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy年MM月dd日"));

    auto *bar = new QHBoxLayout;
    bar->addWidget(m_date);
    const auto button = [this, bar](const char16_t *name, const char16_t *caption, auto slot) {
        auto *b = new QPushButton(QString::fromUtf16(caption), this);
        b->setObjectName(QString::fromUtf16(name));
        bar->addWidget(b);
        connect(b, &QPushButton::clicked, this, slot);
    };
    button(u"结算日", u"按天结算", [this] { settleDay(); });
    button(u"结算月", u"按月结算", [this] { settleMonth(); });
    button(u"按钮3", u"刷新", [this] { listSummariesThisMonth(); });
    button(u"查看所有月", u"查看所有已结月份", [this] { listMonthSummaries(); });
    button(u"查看所有日", u"按月查已结天数", [this] { listDailySummariesOfMonth(); });
    bar->addStretch(1);
    button(u"超级按钮1", u"导出报表", [this] { exportSalesReport(); });
    button(u"按钮6", u"查看退货管理", [this] { openReturnsFromSalesReport(); });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(bar);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("菜单"));
    m_menu->addAction(QStringLiteral("修改/查找 备注"), this, [this] { openSummaryRemarkDialog(); });
    connect(m_list, &ReportList::rowContextMenuRequested, this, &SalesReportWindow::showSummaryListMenu);
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this] { openSummaryRemarkDialog(); });

    listSummariesThisMonth();
}

void SalesReportWindow::fillDailySummaryList(const data::Sql &sql)
{
    bool ok = false;
    const QList<QStringList> lines = summaryLines(m_context, sql, &ok);
    if (!ok) {
        MessageSeam::message(this, QString(), ReadFailedText);
        return;
    }
    showLinesWithTotalRow(m_list, lines);
}

void SalesReportWindow::listSummariesThisMonth()
{
    fillDailySummaryList(summariesThisMonthSql(m_context));
}

void SalesReportWindow::listMonthSummaries()
{
    fillDailySummaryList(monthSummariesSql(m_context));
}

void SalesReportWindow::listDailySummariesOfMonth()
{
    fillDailySummaryList(daySummariesOfMonthSql(m_context, m_date->date()));
}

void SalesReportWindow::listSummariesByRemark(const QString &text)
{
    fillDailySummaryList(summariesByRemarkSql(m_context, text));
}

void SalesReportWindow::settleDay()
{
    const SettleResult result = writeDailySummary(m_context, m_date->date());
    // After a settlement the list shows the current month, whichever day was settled.
    if (result.status == SettleStatus::Settled)
        listSummariesThisMonth();
    MessageSeam::message(this, QString(), result.message);
}

void SalesReportWindow::settleMonth()
{
    const QDate month = m_date->date();
    if (!MessageSeam::question(this, kMonthQuestionTitle, monthQuestionText(month), MessageIcon::Warning))
        return;
    const SettleResult result = writeMonthSummary(m_context, month);
    if (result.status == SettleStatus::Settled)
        listMonthSummaries();
    MessageSeam::message(this, QString(), result.message);
}

void SalesReportWindow::exportSalesReport()
{
    const QString name = excelExportName(ExportPrefix, dateOfToday(m_context.today), Clock::now().time());
    // The log row and the success text only for a workbook that was written.
    if (!exportListViewToExcelInProgramDir(m_list, name)) {
        MessageSeam::message(this, QString(), exportFailureText(ExportPrefix));
        return;
    }
    oplog::writeLogRow(m_context, ExportLogText);
    MessageSeam::message(this, QString(), exportSuccessText(ExportPrefix));
}

void SalesReportWindow::openReturnsFromSalesReport()
{
    if (!rights::checkRight(m_context, QStringLiteral("退货管理"), this))
        return;
    if (openReturnsWindow)
        openReturnsWindow(m_context, this);
}

void SalesReportWindow::showSummaryListMenu(int, const QPoint &globalPos)
{
    if (m_list->selectedRow() >= 0)
        m_menu->popup(globalPos);
}

void SalesReportWindow::openSummaryRemarkDialog()
{
    const int row = m_list->selectedRow();
    // The total row has no id: it keeps no remark.
    const std::optional<qint64> id = row < 0 ? std::nullopt : data::idOf(m_list->cellText(row, 0));
    if (!id)
        return;
    m_summaryRemark = m_list->cellText(row, kSummaryRemarkColumn);
    SummaryRemarkDialog dialog(m_summaryRemark, this);
    connect(&dialog, &SummaryRemarkDialog::saveRequested, this,
            [this, &dialog, row, id] { saveSummaryRemark(&dialog, row, *id); });
    connect(&dialog, &SummaryRemarkDialog::searchRequested, this, [this, &dialog] { searchSummaryRemarks(&dialog); });
    MessageSeam::exec(&dialog);
}

void SalesReportWindow::saveSummaryRemark(SummaryRemarkDialog *dialog, int row, qint64 id)
{
    m_summaryRemark = dialog->text();
    // A remark that was not stored keeps the dialog open with what was typed.
    if (!setSummaryRemark(m_context, id, m_summaryRemark)) {
        MessageSeam::message(dialog, QString(), kRemarkFailedText);
        return;
    }
    m_list->setCellText(row, kSummaryRemarkColumn, m_summaryRemark);
    MessageSeam::message(this, QString(), kRemarkSavedText);
    dialog->accept();
}

void SalesReportWindow::searchSummaryRemarks(SummaryRemarkDialog *dialog)
{
    m_summaryRemark = dialog->text();
    listSummariesByRemark(m_summaryRemark);
    dialog->accept();
}

void openSalesReportWindow(AppContext &context, QWidget *parent)
{
    if (!rights::checkRight(context, QStringLiteral("销售简表"), parent))
        return;
    SalesReportWindow window(context, parent);
    MessageSeam::exec(&window);
}

} // namespace reports
