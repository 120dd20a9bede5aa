#include "reports/ReturnsWindow.h"

#include "context/AppContext.h"
#include "context/OperationLog.h"
#include "context/Rights.h"
#include "context/Today.h"
#include "data/RecordSet.h"
#include "lists/ExcelExport.h"
#include "lists/ReportList.h"
#include "lists/RowColours.h"
#include "platform/Clock.h"
#include "platform/MessageSeam.h"
#include "reports/ReturnRemarkDialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace reports {

ReturnsWindow::ReturnsWindow(AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("ReturnsWindow"));
    setWindowTitle(QStringLiteral("退货管理"));
    resize(1080, 480);

    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框2"));
    const std::pair<const char16_t *, int> columns[] = {
        {u"ID", 40},   {u"供货来源", 130}, {u"商品名称", 120}, {u"分类", 70},     {u"款号", 80},
        {u"颜色", 55}, {u"尺码", 55},      {u"单位", 40},      {u"成本价", 60},   {u"销售金额", 70},
        {u"销售日期", 90}, {u"退货日期", 90}, {u"商品情况", 70}, {u"备注", 70}};
    for (const auto &[title, width] : columns)
        m_list->addColumn(QString::fromUtf16(title), width);

    const auto button = [this](const char16_t *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromUtf16(name));
        return b;
    };
    m_filter = button(u"按钮2", ShowDamagedCaption);
    m_salesReport = button(u"按钮1", QStringLiteral("查看销售报表"));
    m_salesReport->setEnabled(bool(salesReportOpener));
    auto *exportButton = button(u"超级按钮1", QStringLiteral("导出退货"));

    auto *countCaption = new QLabel(QStringLiteral("待处理问题库存数："), this);
    countCaption->setObjectName(QStringLiteral("透明标签1"));
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("标签5"));
    auto *hints = new QGroupBox(QStringLiteral("提示："), this);
    hints->setObjectName(QStringLiteral("分组框1"));
    auto *hint3 = new QLabel(QStringLiteral("无损：已退入库存，可正常销售        有损：未退入库存，待处理！"), hints);
    hint3->setObjectName(QStringLiteral("透明标签3"));
    auto *hint4 = new QLabel(QStringLiteral("如果退单的销售日期已做结算处理，请自行备注"), hints);
    hint4->setObjectName(QStringLiteral("透明标签4"));
    auto *hintLayout = new QVBoxLayout(hints);
    hintLayout->addWidget(hint3);
    hintLayout->addWidget(hint4);

    auto *bar = new QHBoxLayout;
    bar->addWidget(countCaption);
    bar->addWidget(m_count);
    bar->addStretch(1);
    bar->addWidget(m_filter);
    bar->addWidget(m_salesReport);
    bar->addWidget(exportButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(bar);
    layout->addWidget(hints);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("菜单"));
    m_menu->addAction(QStringLiteral("修改备注"), this, &ReturnsWindow::openReturnRemarkDialog);
    m_menu->addAction(QStringLiteral("删除本行"), this, &ReturnsWindow::resolveReturnRecord);

    connect(m_filter, &QPushButton::clicked, this, &ReturnsWindow::cycleReturnFilter);
    connect(m_salesReport, &QPushButton::clicked, this, &ReturnsWindow::openSalesReportFromReturns);
    connect(exportButton, &QPushButton::clicked, this, &ReturnsWindow::exportReturns);
    connect(m_list, &ReportList::rowContextMenuRequested, this, &ReturnsWindow::showReturnListMenu);
    connect(m_list, &QAbstractItemView::doubleClicked, this, &ReturnsWindow::openReturnRemarkDialog);

    // Dates of the export name are today's, also for a program running past midnight.
    refreshToday(context);
    relist(returnRecordsSql(context, ReturnFilter::All));
}

void ReturnsWindow::fillReturnList(data::RecordSet &rs)
{
    const ReturnListRows rows = returnListRows(rs);
    for (const ReturnListLine &line : rows.lines) {
        const int row = m_list->addRow(line.cells);
        m_list->ensureRowVisible(row);
        if (line.colour)
            setListRowColour(m_list, row, 3, *line.colour);
    }
    m_count->setText(QString::number(rows.damaged));
}

void ReturnsWindow::relist(const data::Sql &sql)
{
    data::RecordSet rs(m_context.connection());
    if (!rs.open(sql)) {
        MessageSeam::message(this, QString(), returnrecordtexts::ReadFailed);
        return;
    }
    clearListRowColours(m_list);
    m_list->clear();
    fillReturnList(rs);
}

void ReturnsWindow::cycleReturnFilter()
{
    const ReturnFilterStep step = returnFilterStep(m_filter->text());
    data::RecordSet rs(m_context.connection());
    if (!rs.open(returnRecordsSql(m_context, step.filter))) {
        MessageSeam::message(this, QString(), returnrecordtexts::ReadFailed);
        return;
    }
    clearListRowColours(m_list);
    m_list->clear();
    fillReturnList(rs);
    m_filter->setText(step.nextCaption);
}

void ReturnsWindow::showReturnListMenu(int row, const QPoint &globalPos)
{
    // A right click on a row selects it, as in any list; the menu is for a selected row only.
    if (row >= 0)
        m_list->selectRow(row);
    if (m_list->selectedRow() >= 0)
        m_menu->popup(globalPos);
}

void ReturnsWindow::openReturnRemarkDialog()
{
    const int row = m_list->selectedRow();
    if (row < 0)
        return;
    const QString id = m_list->cellText(row, 0);
    ReturnRemarkDialog dialog(m_list->cellText(row, 13), this);
    // A remark the database refused keeps the dialog open with what was typed.
    while (MessageSeam::exec(&dialog) == QDialog::Accepted) {
        const QString remark = dialog.remark();
        switch (setReturnRemark(m_context, id, remark)) {
        case RemarkOutcome::Saved:
            m_list->setCellText(row, 13, remark);
            MessageSeam::message(this, QString(), returnrecordtexts::RemarkSaved);
            return;
        case RemarkOutcome::Gone:
            MessageSeam::message(this, QString(), returnrecordtexts::Gone);
            relist(returnRecordsSql(m_context, ReturnFilter::All));
            return;
        case RemarkOutcome::Failed:
            MessageSeam::message(this, QString(), returnrecordtexts::RemarkFailed);
            break;
        }
    }
}

void ReturnsWindow::resolveReturnRecord()
{
    const int row = m_list->selectedRow();
    if (row < 0)
        return;
    const ReturnRecord record = returnRecordOfCells(m_list->rowTexts(row));
    const bool restock = isDamaged(record)
                         && MessageSeam::question(this, returnrecordtexts::SettleTitle, returnrecordtexts::SettleQuestion);
    const SettleOutcome outcome = settleReturnRecord(m_context, record, restock);
    // Every row again, whatever the filter showed; the filter button keeps its caption.
    if (outcome != SettleOutcome::NoStockRow && outcome != SettleOutcome::Failed)
        relist(returnRecordsSql(m_context, ReturnFilter::All));
    MessageSeam::message(this, QString(), settleMessage(outcome));
}

void ReturnsWindow::exportReturns()
{
    const DateParts &today = m_context.today;
    const QString prefix = returnrecordtexts::ExportPrefix;
    const QString name = excelExportName(prefix, dateOfToday(today), Clock::now().time());
    // The log row and the success text only for a workbook that was written.
    if (!exportListViewToExcelInProgramDir(m_list, name)) {
        MessageSeam::message(this, QString(), exportFailureText(prefix));
        return;
    }
    oplog::writeLogRow(m_context, returnrecordtexts::ExportLog);
    MessageSeam::message(this, QString(), exportSuccessText(prefix));
}

void ReturnsWindow::openSalesReportFromReturns()
{
    if (!rights::checkRight(m_context, QStringLiteral("销售简表"), this))
        return;
    if (salesReportOpener)
        salesReportOpener(m_context, this);
}

} // namespace reports
