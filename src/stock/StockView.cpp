#include "stock/StockView.h"

#include "context/AppContext.h"
#include "context/Rights.h"
#include "data/RecordSet.h"
#include "data/RowReader.h"
#include "data/SqlBuilder.h"
#include "lists/ListSort.h"
#include "lists/ReportList.h"
#include "lists/RowColours.h"
#include "platform/Clock.h"
#include "platform/MessageSeam.h"
#include "platform/MoneySum.h"
#include "platform/NumberText.h"
#include "stock/StockRules.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMetaMethod>
#include <QPushButton>
#include <QVBoxLayout>

namespace stock {

namespace {

constexpr quint32 kRedText = 255;
constexpr quint32 kTealText = 0x808000;
constexpr int kColumns = 13;

data::Sql ofShop(const AppContext &context)
{
    return data::eq(QStringLiteral("所属店铺"), context.currentShop);
}

data::Sql shown(bool visible)
{
    return data::eq(QStringLiteral("零库存"), visible ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace

// The columns the list shows, in the order of its cells.
static const QStringList &stockViewColumns()
{
    static const QStringList columns{QStringLiteral("id"),   QStringLiteral("供货来源"), QStringLiteral("名称"),
                                     QStringLiteral("类别"), QStringLiteral("款号"),     QStringLiteral("颜色"),
                                     QStringLiteral("尺码"), QStringLiteral("单位"),     QStringLiteral("已售"),
                                     QStringLiteral("数量"), QStringLiteral("进货价"),   QStringLiteral("吊牌价"),
                                     QStringLiteral("入库日期")};
    return columns;
}

namespace {

constexpr int kSoldCell = 8, kLeftCell = 9, kCostCell = 10;

// The rows of a record set walked like a reader's.
class RecordSetRows {
public:
    explicit RecordSetRows(data::RecordSet &rs) : m_rs(rs) {}
    bool next()
    {
        if (m_started)
            m_rs.moveNext();
        else if (m_rs.rowCount() > 0)
            m_rs.moveFirst();
        else
            return false;
        m_started = true;
        return !m_rs.pastLast();
    }
    int columnIndex(const QString &column) const
    {
        const QStringList names = m_rs.columns();
        for (int i = 0; i < names.size(); ++i)
            if (names.at(i).compare(column, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    QString text(int position) const { return m_rs.text(position); }

private:
    data::RecordSet &m_rs;
    bool m_started = false;
};

// The lines of the rows: each column is looked up once, then every row is read by position.
template <typename Rows>
QList<StockViewLine> linesOf(Rows &rows, bool canSeeCost)
{
    int position[kColumns];
    for (int c = 0; c < kColumns; ++c)
        position[c] = rows.columnIndex(stockViewColumns().at(c));
    if (!canSeeCost)
        position[kCostCell] = -1; // an empty cell
    QList<StockViewLine> lines;
    double sold = 0;
    qint64 left = 0;
    MoneySum cost;
    while (rows.next()) {
        StockViewLine line;
        line.cells.reserve(kColumns);
        for (int c = 0; c < kColumns; ++c)
            line.cells.append(rows.text(position[c]));
        const QString &quantity = line.cells.at(kLeftCell);
        line.colour = isZeroStock(quantity) ? kRedText : kTealText;
        sold += textToNumber(line.cells.at(kSoldCell));
        left += textToInteger(quantity);
        if (canSeeCost)
            cost.addProduct(textToNumber(line.cells.at(kCostCell)), textToNumber(quantity));
        lines.append(std::move(line));
    }
    if (canSeeCost && !lines.isEmpty()) {
        StockViewLine totals;
        totals.cells = QStringList(kColumns, QString());
        totals.cells[7] = QStringLiteral("合计");
        totals.cells[kSoldCell] = numberToText(sold);
        totals.cells[kLeftCell] = QString::number(left);
        totals.cells[kCostCell] = cost.text();
        totals.colour = kRedText;
        totals.totals = true;
        lines.append(totals);
    }
    return lines;
}

} // namespace

QList<StockViewLine> stockViewLines(data::RecordSet &records, bool canSeeCost)
{
    RecordSetRows rows(records);
    return linesOf(rows, canSeeCost);
}

QList<StockViewLine> stockViewLines(data::RowReader &reader, bool canSeeCost)
{
    QList<StockViewLine> lines = linesOf(reader, canSeeCost);
    if (reader.failed())
        lines.clear(); // a list cut short would show wrong totals: none, as when the query fails
    return lines;
}

data::Sql visibleStockSql(AppContext &context, const QString &order)
{
    return data::buildSelectSql(context.connection().dialect(), kStockTable, stockViewColumns(),
                                data::both(shown(true), ofShop(context)),
                                true, order, true);
}

data::Sql hiddenStockSql(AppContext &context)
{
    return data::buildSelectSql(context.connection().dialect(), kStockTable, stockViewColumns(),
                                data::both(shown(false), ofShop(context)),
                                true, QStringLiteral("入库日期 ASC"), true);
}

data::Sql stockOfDateSql(AppContext &context, const QDate &day)
{
    const data::Sql where = data::both(data::both(shown(true), ofShop(context)),
                                       data::eq(QStringLiteral("入库日期"), day.toString(QStringLiteral("yyyy-MM-dd"))));
    return data::buildSelectSql(context.connection().dialect(), kStockTable, stockViewColumns(), where, true,
                                QStringLiteral("入库日期 ASC"), true);
}

data::Sql stockOfCategorySql(AppContext &context, const QString &category)
{
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    QString code;
    if (rs.open(data::buildSelectSql(db.dialect(), QStringLiteral("分类例表"),
                                     data::both(data::eq(QStringLiteral("项目名称"), category), ofShop(context)), true,
                                     QStringLiteral("id ASC"), true))
        && rs.rowCount() > 0)
        code = rs.text(QStringLiteral("一级编号"));
    const data::Sql match = code.isEmpty() ? data::eq(QStringLiteral("类别"), category) : data::eq(QStringLiteral("大类"), code);
    return data::buildSelectSql(db.dialect(), kStockTable, stockViewColumns(),
                                data::both(data::both(match, shown(true)), ofShop(context)),
                                true, QStringLiteral("款号 ASC"), true);
}

StockViewPage::StockViewPage(AppContext &context, QWidget *parent) : QWidget(parent), m_context(context)
{
    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框6"));
    const std::pair<const char16_t *, int> columns[] = {
        {u"ID", 40},    {u"供货来源", 110}, {u"商品名称", 170}, {u"分类", 70},    {u"款号", 90},
        {u"颜色", 55},  {u"尺码", 50},      {u"单位", 40},      {u"已售", 50},    {u"库存", 40},
        {u"成本价", 65}, {u"吊牌价", 65},   {u"入库日期", 110}};
    for (const auto &[title, width] : columns)
        m_list->addColumn(QString::fromUtf16(title), width);

    m_date = new QDateEdit(Clock::now().date(), this);
    m_date->setObjectName(QStringLiteral("起始日期1"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    const auto button = [this](const char16_t *name, const char16_t *caption) {
        auto *b = new QPushButton(QString::fromUtf16(caption), this);
        b->setObjectName(QString::fromUtf16(name));
        return b;
    };
    auto *refresh = button(u"按钮19", u"刷新");
    auto *hidden = button(u"显示所有零库", u"显示隐藏零库存");
    auto *alarms = button(u"查看库存报警", u"查看库存报警");
    auto *transfers = button(u"库存调拨记录", u"库存调拨记录");
    auto *returns = button(u"退货管理1", u"退货管理");
    auto *bar = new QHBoxLayout;
    bar->addWidget(m_date);
    bar->addWidget(refresh);
    bar->addWidget(hidden);
    bar->addWidget(alarms);
    bar->addWidget(transfers);
    bar->addWidget(returns);
    bar->addStretch(1);
    bar->addWidget(new QLabel(QStringLiteral("提示：单击表头可排序"), this));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(m_list, 1);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("分类"));
    m_menu->addAction(QStringLiteral("零库存隐藏"), this, &StockViewPage::hideZeroStockRow);
    m_menu->addAction(QStringLiteral("零库存显示"), this, &StockViewPage::unhideZeroStockRow);
    m_menu->addAction(QStringLiteral("库存调拨"), this, [this] {
        if (const qint64 id = selectedStockRowId())
            Q_EMIT stockTransferRequested(id);
    });

    connect(refresh, &QPushButton::clicked, this, &StockViewPage::refreshStockList);
    connect(hidden, &QPushButton::clicked, this, &StockViewPage::listHiddenZeroStock);
    connect(alarms, &QPushButton::clicked, this, &StockViewPage::alarmReportRequested);
    connect(transfers, &QPushButton::clicked, this, &StockViewPage::transferRecordsRequested);
    connect(returns, &QPushButton::clicked, this, &StockViewPage::returnsRequested);
    connect(m_date, &QDateEdit::dateChanged, this, &StockViewPage::listStockOfDate);
    connect(m_list, &ReportList::rowContextMenuRequested, this, &StockViewPage::showZeroStockMenu);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &StockViewPage::sortStockList);
}

void StockViewPage::showEvent(QShowEvent *event)
{
    const auto wired = [this](auto signal) { return isSignalConnected(QMetaMethod::fromSignal(signal)); };
    findChild<QPushButton *>(QStringLiteral("查看库存报警"))->setEnabled(wired(&StockViewPage::alarmReportRequested));
    findChild<QPushButton *>(QStringLiteral("库存调拨记录"))->setEnabled(wired(&StockViewPage::transferRecordsRequested));
    findChild<QPushButton *>(QStringLiteral("退货管理1"))->setEnabled(wired(&StockViewPage::returnsRequested));
    m_menu->actions().at(2)->setEnabled(wired(&StockViewPage::stockTransferRequested));
    QWidget::showEvent(event);
}

void StockViewPage::fillStockList(data::RecordSet &records)
{
    showLines(stockViewLines(records, rights::hasRight(m_context, QStringLiteral("查看进价"))));
}

void StockViewPage::showLines(const QList<StockViewLine> &lines)
{
    clearListRowColours(m_list);
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    QList<QStringList> rows;
    QList<QColor> colours;
    rows.reserve(lines.size());
    colours.reserve(lines.size());
    for (const StockViewLine &line : lines) {
        rows.append(line.cells);
        colours.append(colourFromColorref(line.colour));
    }
    m_list->addRows(rows, colours);
    m_list->setUpdatesEnabled(true);
    m_list->scrollToBottom();
}

void StockViewPage::list(const data::Sql &sql)
{
    data::RowReader reader(m_context.connection());
    reader.open(sql);
    showLines(stockViewLines(reader, rights::hasRight(m_context, QStringLiteral("查看进价"))));
}

void StockViewPage::refreshStockList()
{
    list(visibleStockSql(m_context));
}

void StockViewPage::listHiddenZeroStock()
{
    list(hiddenStockSql(m_context));
}

void StockViewPage::listStockOfDate()
{
    list(stockOfDateSql(m_context, m_date->date()));
}

void StockViewPage::listStockOfCategory(const QString &category)
{
    list(stockOfCategorySql(m_context, category));
}

qint64 StockViewPage::selectedStockRowId() const
{
    const int row = m_list->selectedRow();
    const std::optional<qint64> id = row < 0 ? std::nullopt : data::idOf(m_list->cellText(row, 0));
    return id.value_or(0);
}

void StockViewPage::showStockQuantity(qint64 rowId, const QString &quantity)
{
    for (int row = 0; row < m_list->rowCount(); ++row) {
        if (m_list->cellText(row, 0) != QString::number(rowId))
            continue;
        m_list->setCellText(row, 9, quantity);
        setListRowColour(m_list, row, 3, isZeroStock(quantity) ? kRedText : kTealText);
        return;
    }
}

void StockViewPage::setZeroStockHidden(bool hidden)
{
    const int row = m_list->selectedRow();
    const qint64 id = selectedStockRowId();
    if (!id)
        return;
    if (!isZeroStock(m_list->cellText(row, 9))) {
        MessageSeam::message(this, QString(), kStillInStock);
        return;
    }
    data::Connection &db = m_context.connection();
    const data::Sql set(QStringLiteral("零库存=?"), {hidden ? QStringLiteral("0") : QStringLiteral("1")});
    db.execute(data::buildUpdateSql(db.dialect(), kStockTable, set,
                                    data::both(data::eq(QStringLiteral("id"), id), ofShop(m_context)), true));
    list(visibleStockSql(m_context, hidden ? QStringLiteral("款号 ASC") : QStringLiteral("入库日期 ASC")));
}

void StockViewPage::hideZeroStockRow()
{
    setZeroStockHidden(true);
}

void StockViewPage::unhideZeroStockRow()
{
    setZeroStockHidden(false);
}

void StockViewPage::showZeroStockMenu(int, const QPoint &globalPos)
{
    if (m_list->selectedRow() >= 0)
        m_menu->popup(globalPos);
}

void StockViewPage::sortStockList(int column)
{
    if (column < 1 || column > 12)
        return;
    const bool ascending = m_sortToggle == QStringLiteral("1");
    m_sortToggle = ascending ? QStringLiteral("2") : QStringLiteral("1");
    const int type = column >= 8 && column <= 11 ? ListSortType::Integer : ListSortType::Text;
    sortListViewByColumn(m_list, column, ascending, false, type);
}

} // namespace stock
