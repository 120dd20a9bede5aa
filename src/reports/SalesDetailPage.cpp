#include "reports/SalesDetailPage.h"

#include "cashier/CounterReturn.h"
#include "context/AppContext.h"
#include "context/OperationLog.h"
#include "context/Rights.h"
#include "context/Today.h"
#include "data/SqlBuilder.h"
#include "lists/ExcelExport.h"
#include "lists/ReportList.h"
#include "platform/Clock.h"
#include "platform/MessageSeam.h"
#include "reports/SaleLineDetailWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace reports {

namespace {

const QString kSeeCost = QStringLiteral("查看进价");

QPushButton *button(const QString &name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QLabel *label(const QString &name, const QString &caption, QWidget *parent)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

SalesDetailPage::SalesDetailPage(AppContext &context, QWidget *parent)
    : QWidget(parent), m_context(context), m_rs(context.connection())
{
    setObjectName(QStringLiteral("销售明细"));
    build();
}

void SalesDetailPage::build()
{
    auto *layout = new QVBoxLayout(this);

    // Dates and scopes.
    auto *dates = new QHBoxLayout;
    const QDate today = Clock::now().date();
    auto makeDate = [this, today](const QString &name) {
        auto *edit = new QDateEdit(today, this);
        edit->setObjectName(name);
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy年M月d日"));
        edit->setKeyboardTracking(false);
        return edit;
    };
    m_start = makeDate(QStringLiteral("起始日期"));
    m_end = makeDate(QStringLiteral("结束日期"));
    auto *dash = new QFrame(this);
    dash->setObjectName(QStringLiteral("外形框2"));
    dash->setFrameShape(QFrame::HLine);
    dash->setFixedWidth(12);
    m_dash = dash;
    m_picture = label(QStringLiteral("图片框6"), QString(), this);
    dates->addWidget(m_start);
    dates->addWidget(m_dash);
    dates->addWidget(m_end);
    dates->addWidget(m_picture);

    m_scopeGroup = new QButtonGroup(this);
    m_scopeGroup->setExclusive(true);
    const QList<QPair<QString, QString>> boxes{
        {QStringLiteral("天框"), QStringLiteral("按天查找")},
        {QStringLiteral("月框"), QStringLiteral("按月查找")},
        {QStringLiteral("开始框"), QStringLiteral("按某时间段")},
        {QStringLiteral("全部框"), QStringLiteral("全部")},
    };
    for (int i = 0; i < 4; ++i) {
        m_boxes[i] = new QCheckBox(boxes[i].second, this);
        m_boxes[i]->setObjectName(boxes[i].first);
        m_scopeGroup->addButton(m_boxes[i], i);
        dates->addWidget(m_boxes[i]);
    }
    m_boxes[3]->setChecked(true);
    m_boxes[0]->setToolTip(QStringLiteral("勾选后，点击左边日历可以指定显示某天内的所有销售单\n同时下方查找范围也限定在你指定的某天内查"));
    m_boxes[1]->setToolTip(
        QStringLiteral("勾选后，点击左边日历系统会忽略'日'按指定年和月显示所有销售单\n同时下方查找范围也限定在你指定的某年某月内"));
    m_boxes[2]->setToolTip(QStringLiteral(
        "勾选后，指定左边日历起始时间和右边日历结束时间,显示该时间段内所有订单\n同时下方查找范围也限定在你指的这个时间段内查找"));
    m_boxes[3]->setToolTip(QStringLiteral("勾选后，无视日历日期，下方查找范围为所有销售订单"));
    m_end->setToolTip(QStringLiteral("只有在勾选按某时间段后，此日历才有效"));
    // The range's end date keeps its room while hidden, so the scope boxes stay where the
    // user clicked them when the range is ticked or unticked.
    for (QWidget *w : {static_cast<QWidget *>(m_end), m_dash, static_cast<QWidget *>(m_picture)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
        w->hide();
    }

    // Search and buttons.
    auto *search = new QHBoxLayout;
    search->addWidget(new QLabel(QStringLiteral("类型："), this));
    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("综合框"));
    m_field->addItems(salesSearchItems());
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("综合内容"));
    m_text->installEventFilter(this);
    auto *find = button(QStringLiteral("超级查找"), QStringLiteral("查找"), this);
    const QString hint = QStringLiteral("全部支持模糊查找，商品名称支持拼音首字母检索");
    m_text->setToolTip(hint);
    find->setToolTip(hint);
    auto *exportButton = button(QStringLiteral("按钮61"), QStringLiteral("导出明细"), this);
    auto *summary = button(QStringLiteral("销售简表X"), QStringLiteral("销售报表"), this);
    auto *ranking = button(QStringLiteral("销量排行X"), QStringLiteral("销量排行"), this);
    auto *returns = button(QStringLiteral("退货管理2"), QStringLiteral("退货管理"), this);
    auto *giveBack = button(QStringLiteral("按钮2"), QStringLiteral("退    货"), this);
    search->addWidget(m_field);
    search->addWidget(m_text, 1);
    search->addWidget(find);
    search->addWidget(exportButton);
    search->addWidget(summary);
    search->addWidget(ranking);
    search->addWidget(returns);
    search->addWidget(giveBack);

    // The list.
    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框2"));
    for (const auto &column : salesDetailColumns())
        m_list->addColumn(column.first, column.first == QStringLiteral("ID")       ? 40
                                        : column.first == QStringLiteral("销售单号") ? 100
                                                                                  : 72);

    // The footer: five captions, five values, hidden until the page switch shows them.
    auto *footer = new QGroupBox(this);
    footer->setObjectName(QStringLiteral("分组框22"));
    auto *footerLayout = new QHBoxLayout(footer);
    const QStringList captionNames{QStringLiteral("透明标签2"), QStringLiteral("透明标签5"), QStringLiteral("透明标签28"),
                                   QStringLiteral("透明标签30"), QStringLiteral("透明标签63")};
    const QStringList captions{QStringLiteral("总销售额："), QStringLiteral("总销售量："), QStringLiteral("成本总额："),
                               QStringLiteral("销售毛利："), QStringLiteral("毛利率：")};
    const QStringList valueNames{QStringLiteral("透明标签1"), QStringLiteral("透明标签6"), QStringLiteral("透明标签29"),
                                 QStringLiteral("透明标签31"), QStringLiteral("透明标签64")};
    for (int i = 0; i < 5; ++i) {
        QLabel *caption = label(captionNames[i], captions[i], footer);
        m_values[i] = label(valueNames[i], QString(), footer);
        caption->hide();
        m_values[i]->hide();
        if (i > 0)
            footerLayout->addSpacing(24);
        footerLayout->addWidget(caption);
        footerLayout->addWidget(m_values[i]);
    }
    footerLayout->addStretch(1);

    layout->addLayout(dates);
    layout->addLayout(search);
    layout->addWidget(m_list, 1);
    layout->addWidget(footer);

    connect(m_start, &QDateEdit::dateChanged, this, [this] { listSalesByDateFilter(); });
    connect(m_end, &QDateEdit::dateChanged, this, [this] { listSalesOfRange(); });
    connect(m_boxes[0], &QCheckBox::clicked, this, [this] { selectDayFilter(); });
    connect(m_boxes[1], &QCheckBox::clicked, this, [this] { selectMonthFilter(); });
    connect(m_boxes[2], &QCheckBox::clicked, this, [this] { selectRangeFilter(); });
    connect(m_boxes[3], &QCheckBox::clicked, this, [this] { selectAllDatesFilter(); });
    connect(find, &QPushButton::clicked, this, [this] { searchSalesDetails(); });
    // Enter in the search text searches, as the 查找 button does.
    connect(m_text, &QLineEdit::returnPressed, this, [this] { searchSalesDetails(); });
    connect(exportButton, &QPushButton::clicked, this, [this] { exportSalesDetails(); });
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this] { openSaleLineDetailWindow(); });
    auto hook = [](const std::function<void()> &f) { if (f) f(); };
    connect(summary, &QPushButton::clicked, this, [this, hook] { hook(openSalesSummary); });
    connect(ranking, &QPushButton::clicked, this, [this, hook] { hook(openSalesRanking); });
    connect(returns, &QPushButton::clicked, this, [this, hook] { hook(openReturnsRecords); });
    connect(giveBack, &QPushButton::clicked, this, [this] { returnSoldItem(); });
}

void SalesDetailPage::returnSoldItem()
{
    using namespace cashier;
    const int row = m_list->selectedRow();
    const std::optional<qint64> id = row < 0 ? std::nullopt : data::idOf(m_list->cellText(row, 0));
    if (!id) {
        MessageSeam::message(this, QString(), returntexts::NothingSelected);
        return;
    }
    SoldLine line;
    switch (readSoldLine(m_context, *id, &line)) {
    case ReadStatus::Found: break;
    case ReadStatus::Gone: MessageSeam::message(this, QString(), returntexts::LineGone); return;
    case ReadStatus::Failed: MessageSeam::message(this, QString(), returntexts::Failed); return;
    }
    const ReturnFigures figures = returnFigures(line, m_context.shopSettings);
    if (!MessageSeam::question(this, returntexts::ConfirmTitle, returnQuestionText(line, figures)))
        return;
    const bool damaged = MessageSeam::question(this, returntexts::DamageTitle, returntexts::DamageQuestion);
    const ReturnResult result = applyCounterReturn(m_context, *id, damaged);
    switch (result.status) {
    case ReturnStatus::Partial:
        refreshSaleRow(row);
        MessageSeam::message(this, QString(), returntexts::PartialDone);
        break;
    case ReturnStatus::Whole: {
        m_rs.open(salesOfDaySql(m_context.connection().dialect(), m_context.currentShop,
                                QDate::fromString(todayText(m_context), QStringLiteral("yyyy-MM-dd"))));
        fillSalesDetailList(m_rs);
        MessageSeam::message(this, QString(), returntexts::WholeDone);
        break;
    }
    case ReturnStatus::Gone:
        MessageSeam::message(this, QString(), returntexts::LineGone);
        break;
    case ReturnStatus::Failed:
        MessageSeam::message(this, QString(), returntexts::Failed);
        break;
    }
}

void SalesDetailPage::refreshSaleRow(int row)
{
    const std::optional<qint64> id = data::idOf(m_list->cellText(row, 0));
    if (!id)
        return;
    data::Connection &db = m_context.connection();
    data::RecordSet rs(db);
    const data::Sql where = data::both(data::eq(QStringLiteral("id"), *id), data::eq(QStringLiteral("所属店铺"), m_context.currentShop));
    if (!rs.open(data::buildSelectSql(db.dialect(), QStringLiteral("销售明细"), where, true, QString(), false))
        || rs.rowCount() <= 0)
        return;
    const QStringList cells = salesDetailCells(rs, canSeeCost());
    for (int c = 0; c < cells.size(); ++c)
        m_list->setCellText(row, c, cells.at(c));
}

bool SalesDetailPage::canSeeCost() const
{
    return rights::hasRight(m_context, kSeeCost);
}

DateScope SalesDetailPage::scope() const
{
    for (int i = 0; i < 4; ++i) {
        if (m_boxes[i]->isChecked())
            return DateScope(i);
    }
    return DateScope::All;
}

void SalesDetailPage::walk(data::RecordSet &rs, SalesDetailTotals &totals)
{
    const bool seeCost = canSeeCost();
    m_list->setUpdatesEnabled(false);
    int last = -1;
    if (rs.rowCount() > 0) {
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
            last = m_list->addRow(salesDetailCells(rs, seeCost));
            addToTotals(totals, rs, seeCost);
        }
    }
    m_list->setUpdatesEnabled(true);
    if (last >= 0)
        m_list->ensureRowVisible(last);
}

void SalesDetailPage::writeFooter(const SalesDetailTotals &totals)
{
    if (!canSeeCost())
        return;
    const SalesDetailFooter footer = salesDetailFooter(totals);
    m_values[0]->setText(footer.amount);
    m_values[1]->setText(footer.quantity);
    m_values[2]->setText(footer.cost);
    m_values[3]->setText(footer.profit);
    m_values[4]->setText(footer.margin);
}

bool SalesDetailPage::readSucceeded(const data::RecordSet &rs)
{
    if (rs.rowCount() >= 0)
        return true;
    MessageSeam::message(this, QString(), ReadFailedText);
    return false;
}

void SalesDetailPage::fillSalesDetailList(data::RecordSet &rs)
{
    if (!readSucceeded(rs))
        return;
    m_values[3]->setText(QString());
    m_list->clear();
    SalesDetailTotals totals;
    walk(rs, totals);
    writeFooter(totals);
}

void SalesDetailPage::appendSalesDetailRows(data::RecordSet &rs)
{
    if (!readSucceeded(rs))
        return;
    m_values[3]->setText(QString());
    walk(rs, m_totals);
    writeFooter(m_totals);
}

void SalesDetailPage::listRange(const data::Sql &sql)
{
    // The range's rows are read before anything is emptied: a failed read keeps the old list.
    m_rs.open(sql);
    if (!readSucceeded(m_rs))
        return;
    m_totals = {};
    m_list->clear();
    appendSalesDetailRows(m_rs);
}

void SalesDetailPage::listSalesByDateFilter()
{
    const data::Dialect &dialect = m_context.connection().dialect();
    const QString &shop = m_context.currentShop;
    switch (scope()) {
    case DateScope::Day:
        m_rs.open(salesOfDaySql(dialect, shop, m_start->date()));
        fillSalesDetailList(m_rs);
        break;
    case DateScope::Month:
        m_rs.open(salesOfMonthSql(dialect, shop, m_start->date()));
        fillSalesDetailList(m_rs);
        break;
    case DateScope::Range:
        listRange(salesOfRangeSql(dialect, shop, m_start->date(), m_end->date()));
        break;
    case DateScope::All:
        break;
    }
}

void SalesDetailPage::listSalesOfRange()
{
    if (scope() != DateScope::Range)
        return;
    listRange(salesOfRangeSql(m_context.connection().dialect(), m_context.currentShop, m_start->date(), m_end->date()));
}

void SalesDetailPage::setScope(DateScope s)
{
    m_boxes[int(s)]->setChecked(true); // the exclusive group unticks the others
    if (s == DateScope::All)
        return;
    const bool range = s == DateScope::Range;
    m_end->setVisible(range);
    m_dash->setVisible(range);
    m_picture->setVisible(range);
}

void SalesDetailPage::selectDayFilter() { setScope(DateScope::Day); }
void SalesDetailPage::selectMonthFilter() { setScope(DateScope::Month); }
void SalesDetailPage::selectRangeFilter() { setScope(DateScope::Range); }
void SalesDetailPage::selectAllDatesFilter() { setScope(DateScope::All); }

void SalesDetailPage::clearSalesSearchBox()
{
    m_text->setText(QString());
}

bool SalesDetailPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        clearSalesSearchBox();
    return QWidget::eventFilter(watched, event);
}

void SalesDetailPage::searchSalesDetails()
{
    const DateScope s = scope();
    if (salesSearchFindsNothing(m_field->currentText(), m_text->text())) {
        m_values[3]->setText(QString());
        m_totals = {};
        m_list->clear();
        writeFooter(m_totals);
        return;
    }
    const data::Sql sql = searchSalesSql(m_context.connection().dialect(), m_context.currentShop, s, m_start->date(),
                                         m_end->date(), m_field->currentText(), m_text->text());
    if (sql.isEmpty())
        return;
    if (s == DateScope::Range) {
        listRange(sql);
    } else {
        m_rs.open(sql);
        fillSalesDetailList(m_rs);
    }
}

void SalesDetailPage::exportSalesDetails()
{
    if (!rights::checkRight(m_context, QStringLiteral("导出明细"), this))
        return;
    oplog::writeLogRow(m_context, ExportLogText);
    const DateParts &today = m_context.today;
    const QString name = excelExportName(ExportPrefix, dateOfToday(today), Clock::now().time());
    if (exportListViewToExcelInProgramDir(m_list, name))
        MessageSeam::message(this, QString(), exportSuccessText(ExportPrefix));
    else
        MessageSeam::message(this, QString(), exportFailureText(ExportPrefix));
}

void SalesDetailPage::openSaleLineDetailWindow()
{
    const int row = m_list->selectedRow();
    if (row < 0)
        return;
    m_selectedSale.cells = m_list->rowTexts(row);
    {
        SaleLineDetailWindow window(m_context, m_selectedSale, this);
        MessageSeam::exec(&window);
    }
    m_selectedSale.cells = QStringList(kSalesDetailColumnCount, QString());
}

} // namespace reports
