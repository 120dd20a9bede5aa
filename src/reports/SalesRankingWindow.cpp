#include "reports/SalesRankingWindow.h"

#include "context/AppContext.h"
#include "context/OperationLog.h"
#include "context/Rights.h"
#include "context/Today.h"
#include "lists/ExcelExport.h"
#include "lists/ListSort.h"
#include "lists/ReportList.h"
#include "lists/RowColours.h"
#include "platform/Clock.h"
#include "platform/MessageSeam.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace reports {

SalesRankingWindow::SalesRankingWindow(AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("SalesRankingWindow"));
    setWindowTitle(rankingtexts::Title);
    resize(829, 491);

    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框1"));
    const std::pair<const char16_t *, int> columns[] = {
        {u"ID", 40},    {u"供货来源", 150}, {u"商品名称", 120}, {u"分类", 70},     {u"款号", 80},
        {u"成本价", 65}, {u"吊牌价", 65},    {u"已售数量", 70},  {u"单位", 40}, {u"最近售出日期", 100}};
    for (const auto &[title, width] : columns)
        m_list->addColumn(QString::fromUtf16(title), width);
    m_list->setSortingEnabled(false);
    m_list->header()->setSectionsClickable(true);

    auto *bar = new QGroupBox(this);
    bar->setObjectName(QStringLiteral("分组框1"));
    auto *row = new QHBoxLayout(bar);
    m_date = new QDateEdit(Clock::now().date(), bar);
    m_date->setObjectName(QStringLiteral("起始日期"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy年M月d日"));
    auto *monthButton = new QPushButton(QStringLiteral("查看指定月份"), bar);
    monthButton->setObjectName(QStringLiteral("按钮1"));
    m_field = new QComboBox(bar);
    m_field->setObjectName(QStringLiteral("类别7"));
    m_field->addItems({QStringLiteral("供货来源"), QStringLiteral("商品名称"), QStringLiteral("分类"), QStringLiteral("款号")});
    m_field->setCurrentIndex(-1);
    m_value = new QComboBox(bar);
    m_value->setObjectName(QStringLiteral("填写"));
    m_value->setEditable(true);
    m_value->setMinimumWidth(140);
    auto *findButton = new QPushButton(QStringLiteral("查找"), bar);
    findButton->setObjectName(QStringLiteral("超级查找"));
    auto *exportButton = new QPushButton(QStringLiteral("导出排行"), bar);
    exportButton->setObjectName(QStringLiteral("超级按钮1"));
    row->addWidget(m_date);
    row->addWidget(monthButton);
    row->addWidget(new QLabel(QStringLiteral("类别："), bar));
    row->addWidget(m_field);
    row->addWidget(m_value, 1);
    row->addWidget(findButton);
    row->addStretch(1);
    row->addWidget(exportButton);
    m_direction = new QLabel(this);
    m_direction->setObjectName(QStringLiteral("标签10"));
    m_direction->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(bar);

    connect(monthButton, &QPushButton::clicked, this, &SalesRankingWindow::listSalesRankingOfMonth);
    connect(findButton, &QPushButton::clicked, this, &SalesRankingWindow::searchSalesRanking);
    connect(exportButton, &QPushButton::clicked, this, &SalesRankingWindow::exportSalesRanking);
    connect(m_field, &QComboBox::currentIndexChanged, this, &SalesRankingWindow::loadRankingFilterValues);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &SalesRankingWindow::sortSalesRankingList);

    // This month, most sold first.
    refreshToday(context);
    m_date->setDate(dateOfToday(context.today));
    fill(rankingOfMonthSql(context, rankingMonthKey(context.today.year, context.today.month)), RankingOrder::MostSoldFirst);
}

void SalesRankingWindow::fill(const data::Sql &sql, RankingOrder order)
{
    bool ok = false;
    const QList<QStringList> lines = salesRankingLines(m_context, sql, order, &ok);
    if (!ok) {
        MessageSeam::message(this, QString(), rankingtexts::ReadFailed);
        return;
    }
    showLinesWithTotalRow(m_list, lines);
}

void SalesRankingWindow::listSalesRankingOfMonth()
{
    const QDate picked = m_date->date();
    fill(rankingOfMonthSql(m_context, rankingMonthKey(QString::number(picked.year()),
                                                      QStringLiteral("%1").arg(picked.month(), 2, 10, QLatin1Char('0')))),
         RankingOrder::LeastSoldFirst);
}

void SalesRankingWindow::searchSalesRanking()
{
    const data::Sql sql = rankingSearchSql(m_context, m_field->currentText(), m_value->currentText());
    if (sql.isEmpty())
        return;
    fill(sql, RankingOrder::ById);
}

void SalesRankingWindow::loadRankingFilterValues()
{
    const QString field = m_field->currentText();
    if (!rankingFieldHasChoices(field))
        return;
    m_value->clear();
    m_value->addItems(rankingFilterValues(m_context, field));
    if (m_value->isVisible())
        m_value->showPopup();
}

void SalesRankingWindow::sortSalesRankingList(int column)
{
    if (column < 1 || column > 9)
        return;
    const bool ascending = m_direction->text() == QStringLiteral("1");
    m_direction->setText(ascending ? QStringLiteral("2") : QStringLiteral("1"));
    const int type = column >= 5 && column <= 7 ? ListSortType::Integer : ListSortType::Text;
    // Whole rows move, so the total row keeps its red wherever the sort puts it.
    sortListViewByColumn(m_list, column, ascending, false, type);
}

void SalesRankingWindow::exportSalesRanking()
{
    const QString name = salesRankingExportName(dateOfToday(m_context.today), Clock::now().time());
    // The log row and the success text only for a workbook that was written.
    if (!exportListViewToExcelInProgramDir(m_list, name)) {
        MessageSeam::message(this, QString(), exportFailureText(rankingtexts::ExportPrefix));
        return;
    }
    oplog::writeLogRow(m_context, rankingtexts::ExportLog);
    MessageSeam::message(this, QString(), exportSuccessText(rankingtexts::ExportPrefix));
}

void openSalesRankingWindow(AppContext &context, QWidget *parent)
{
    if (!rights::checkRight(context, QStringLiteral("销量排行"), parent))
        return;
    SalesRankingWindow window(context, parent);
    MessageSeam::exec(&window);
}

} // namespace reports
