#include "reports/PurchaseReportWindow.h"

#include "context/AppContext.h"
#include "context/OperationLog.h"
#include "context/Rights.h"
#include "context/Today.h"
#include "lists/ExcelExport.h"
#include "lists/ReportList.h"
#include "lists/RowColours.h"
#include "platform/Clock.h"
#include "platform/MessageSeam.h"
#include "reports/PurchaseRemarkDialog.h"
#include "reports/PurchaseReport.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace reports {

namespace {

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

PurchaseReportWindow::PurchaseReportWindow(AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("PurchaseReportWindow"));
    setWindowTitle(purchasereporttexts::Title);
    setModal(false);
    resize(900, 460);

    m_calendar = new QCalendarWidget(this);
    m_calendar->setObjectName(QStringLiteral("起始日期"));
    m_calendar->setToolTip(QStringLiteral("选择你要生成采购报表的日期"));
    m_calendar->setGridVisible(true);
    auto *refresh = new QPushButton(QStringLiteral("刷新"), this);
    refresh->setObjectName(QStringLiteral("按钮2"));
    auto *ofMonth = new QPushButton(QStringLiteral("按月份查看"), this);
    ofMonth->setObjectName(QStringLiteral("按钮3"));
    ofMonth->setToolTip(QStringLiteral("在日历上选择要查看的月份，点击此按钮会显示该月份下所有的报表！"));
    auto *generate = new QPushButton(QStringLiteral("生成采购报表"), this);
    generate->setObjectName(QStringLiteral("按钮1"));
    auto *exportButton = new QPushButton(QStringLiteral("导出报表"), this);
    exportButton->setObjectName(QStringLiteral("超级按钮2"));

    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框1"));
    const std::pair<const char16_t *, int> columns[] = {{u"id", 0},      {u"采购日期", 90}, {u"供货来源", 150}, {u"数量", 50},
                                                        {u"成本价", 80}, {u"操作员", 70},   {u"备注", 210}};
    for (const auto &[title, width] : columns)
        m_list->addColumn(QString::fromUtf16(title), width);

    auto *side = new QVBoxLayout;
    side->addWidget(m_calendar);
    side->addWidget(generate);
    side->addWidget(refresh);
    side->addWidget(ofMonth);
    side->addStretch(1);
    side->addWidget(exportButton);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(side);
    layout->addWidget(m_list, 1);

    // Opening: today (with the time) afresh, the calendar on it, this month listed.
    refreshToday(context);
    m_calendar->setSelectedDate(dateOfToday(context.today));
    listPurchaseReportThisMonth();

    connect(refresh, &QPushButton::clicked, this, &PurchaseReportWindow::listPurchaseReportThisMonth);
    connect(ofMonth, &QPushButton::clicked, this, &PurchaseReportWindow::listPurchaseReportOfMonth);
    connect(generate, &QPushButton::clicked, this, &PurchaseReportWindow::generatePurchaseReport);
    connect(exportButton, &QPushButton::clicked, this, &PurchaseReportWindow::exportPurchaseReport);
    connect(m_calendar, &QCalendarWidget::selectionChanged, this, &PurchaseReportWindow::listPurchaseReportOfDay);
    connect(m_list, &ReportList::rowContextMenuRequested, this, &PurchaseReportWindow::showPurchaseReportMenu);
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this] { openPurchaseRemarkDialog(); });
}

void PurchaseReportWindow::fill(const data::Sql &sql)
{
    bool ok = false;
    const QList<QStringList> lines = purchaseReportLines(m_context, sql, &ok);
    if (!ok) {
        MessageSeam::message(this, QString(), purchasereporttexts::ReadFailed);
        return;
    }
    showLinesWithTotalRow(m_list, lines);
}

void PurchaseReportWindow::listPurchaseReportThisMonth()
{
    fill(purchaseReportOfMonthSql(m_context, m_context.today.year, m_context.today.month));
}

void PurchaseReportWindow::listPurchaseReportOfMonth()
{
    const QDate picked = m_calendar->selectedDate();
    fill(purchaseReportOfMonthSql(m_context, QString::number(picked.year()), twoDigits(picked.month())));
}

void PurchaseReportWindow::listPurchaseReportOfDay()
{
    fill(purchaseReportOfDaySql(m_context, m_calendar->selectedDate()));
}

void PurchaseReportWindow::listPurchaseReportsByRemark(const QString &remark)
{
    fill(purchaseReportsByRemarkSql(m_context, remark));
}

void PurchaseReportWindow::generatePurchaseReport()
{
    const GenerateResult result = reports::generatePurchaseReport(m_context, m_calendar->selectedDate());
    switch (result.status) {
    case GenerateStatus::AlreadyGenerated:
        MessageSeam::message(this, QString(), purchasereporttexts::AlreadyGenerated);
        return;
    case GenerateStatus::Failed:
        MessageSeam::message(this, QString(), purchasereporttexts::GenerateFailed);
        return;
    case GenerateStatus::Generated:
        break;
    }
    fill(purchaseReportOfMonthByIdSql(m_context, m_context.today.year, m_context.today.month));
    MessageSeam::message(this, QString(), purchasereporttexts::Generated);
}

void PurchaseReportWindow::showPurchaseReportMenu(int, const QPoint &globalPos)
{
    if (m_list->selectedRow() < 0)
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("菜单"));
    menu.addAction(QStringLiteral("修改/查找备注"), this, [this] { openPurchaseRemarkDialog(); });
    menu.exec(globalPos);
}

void PurchaseReportWindow::openPurchaseRemarkDialog()
{
    const int row = m_list->selectedRow();
    // The total row has no id: it takes no remark.
    const std::optional<qint64> id = row < 0 ? std::nullopt : data::idOf(m_list->cellText(row, 0));
    if (!id)
        return;
    m_remark = m_list->cellText(row, 6);
    PurchaseRemarkDialog dialog(m_remark, this);
    while (MessageSeam::exec(&dialog) == QDialog::Accepted) {
        m_remark = dialog.remark();
        if (dialog.action() == PurchaseRemarkDialog::Search) {
            listPurchaseReportsByRemark(m_remark);
            return;
        }
        // The cell changes only once the row has taken the remark; a refusal keeps the dialog open
        // with what was typed.
        if (!setPurchaseReportRemark(m_context, *id, m_remark)) {
            MessageSeam::message(this, QString(), purchasereporttexts::RemarkFailed);
            continue;
        }
        m_list->setCellText(row, 6, m_remark);
        return;
    }
}

void PurchaseReportWindow::exportPurchaseReport()
{
    const QString name = purchaseReportExportName(dateOfToday(m_context.today), Clock::now().time());
    // The log row and the success text only for a workbook that was written.
    if (!exportListViewToExcelInProgramDir(m_list, name)) {
        MessageSeam::message(this, QString(), exportFailureText(purchasereporttexts::ExportPrefix));
        return;
    }
    oplog::writeLogRow(m_context, purchasereporttexts::ExportLog);
    MessageSeam::message(this, QString(), exportSuccessText(purchasereporttexts::ExportPrefix));
}

PurchaseReportWindow *openPurchaseReportWindow(AppContext &context, QWidget *parent)
{
    if (!rights::checkRight(context, QStringLiteral("采购报表"), parent))
        return nullptr;
    auto *window = new PurchaseReportWindow(context, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

} // namespace reports
