#include "stock/StockAlarms.h"

#include "context/AppContext.h"
#include "context/Today.h"
#include "context/OperationLog.h"
#include "context/Rights.h"
#include "data/RecordSet.h"
#include "data/RowReader.h"
#include "data/SqlBuilder.h"
#include "lists/ExcelExport.h"
#include "lists/ReportList.h"
#include "platform/Clock.h"
#include "platform/MessageSeam.h"
#include "platform/NumberText.h"
#include "stock/StockRules.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace stock {

namespace {

const QString kOn = QStringLiteral("真");
const QString kReportPrefix = QStringLiteral("库存报警");

// A bound typed: "" gives "0"; a whole number (full-width accepted) its half-width text.
std::optional<QString> parseBound(const QString &typed)
{
    const QString text = toHalfWidth(typed).trimmed();
    if (text.isEmpty())
        return QStringLiteral("0");
    static const QRegularExpression whole(QStringLiteral("^[+-]?\\d+$"));
    if (!whole.match(text).hasMatch())
        return std::nullopt;
    return QString::number(text.toLongLong());
}

} // namespace

AlarmLimitsResult saveItemAlarmLimits(AppContext &context, qint64 rowId, const AlarmLimits &typed)
{
    AlarmLimitsResult result;
    const std::optional<QString> upper = parseBound(typed.上限);
    const std::optional<QString> lower = parseBound(typed.下限);
    if (!upper || !lower) {
        result.message = alarmtexts::BoundsNotWhole;
        return result;
    }
    const QString onOff = typed.开关 == kOn ? kOn : QStringLiteral("假");
    data::Connection &db = context.connection();
    const data::Pairs set{{QStringLiteral("上限"), *upper}, {QStringLiteral("下限"), *lower}, {QStringLiteral("开关"), onOff}};
    const data::Sql byRow = data::both(data::eq(QStringLiteral("id"), rowId),
                                       data::eq(QStringLiteral("所属店铺"), context.currentShop));
    if (!db.execute(data::buildUpdateSql(db.dialect(), kStockTable, set, byRow, true))) {
        result.message = alarmtexts::Failed;
        return result;
    }
    if (db.numRowsAffected() != 1) {
        result.message = alarmtexts::RowGone;
        return result;
    }
    result.ok = true;
    result.stored = {*upper, *lower, onOff};
    return result;
}

QList<QStringList> stockAlarmLines(AppContext &context, bool *ok)
{
    QList<QStringList> lines;
    data::Connection &db = context.connection();
    const data::Sql where = data::both(data::cmp(QStringLiteral("数量"), QStringLiteral("<>"), QStringLiteral("0")),
                                       data::eq(QStringLiteral("所属店铺"), context.currentShop));
    // The report's first 12 cells in their order, then the row's bounds and their switch.
    static const QStringList columns{QStringLiteral("id"),   QStringLiteral("商品条码"), QStringLiteral("供货来源"),
                                     QStringLiteral("名称"), QStringLiteral("类别"),     QStringLiteral("款号"),
                                     QStringLiteral("颜色"), QStringLiteral("尺码"),     QStringLiteral("数量"),
                                     QStringLiteral("单位"), QStringLiteral("进货价"),   QStringLiteral("入库日期"),
                                     QStringLiteral("开关"), QStringLiteral("上限"),     QStringLiteral("下限")};
    constexpr int kShownCells = 12, kStockCell = 8, kCostCell = 10;
    constexpr int kSwitch = 12, kUpper = 13, kLower = 14;
    // Read row by row: the bounds decide first, and only a listed row's cells are turned into text.
    data::RowReader rows(db);
    const bool opened =
        rows.open(data::buildSelectSql(db.dialect(), kStockTable, columns, where, true, QStringLiteral("id ASC"), true));
    int position[15];
    for (int c = 0; c < columns.size(); ++c)
        position[c] = rows.columnIndex(columns.at(c));
    const bool seeCost = rights::hasRight(context, QStringLiteral("查看进价"));
    const ShopSettings &shop = context.shopSettings;
    while (opened && rows.next()) {
        const auto t = [&](int c) { return rows.text(position[c]); };
        QString upper, lower, above, below;
        if (t(kSwitch) == kOn) {
            upper = t(kUpper);
            lower = t(kLower);
            above = QStringLiteral("高于上限[自]");
            below = QStringLiteral("低于下限[自]");
        } else if (shop.报警开关 == kOn) {
            upper = shop.上限报警;
            lower = shop.下限报警;
            above = QStringLiteral("高于上限");
            below = QStringLiteral("低于下限");
        } else {
            continue;
        }
        const QString stockText = t(kStockCell);
        const qint64 stock = textToInteger(stockText);
        QString remark;
        if (stock > textToInteger(upper))
            remark = above;
        if (stock < textToInteger(lower))
            remark = below;
        if (remark.isEmpty())
            continue;
        QStringList line;
        line.reserve(kShownCells + 3);
        for (int c = 0; c < kShownCells; ++c)
            line.append(c == kStockCell ? stockText : c == kCostCell && !seeCost ? QString() : t(c));
        line << upper << lower << remark;
        lines.append(std::move(line));
    }
    const bool read = opened && !rows.failed();
    if (ok)
        *ok = read;
    if (!read)
        lines.clear(); // a report cut short is no report
    return lines;
}

ItemAlarmLimitsDialog::ItemAlarmLimitsDialog(const AlarmLimits &limits, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ItemAlarmLimitsDialog"));
    setWindowTitle(QStringLiteral("单品库存报警设置"));
    auto *form = new QFormLayout;
    m_upper = new QLineEdit(limits.上限, this);
    m_upper->setObjectName(QStringLiteral("库上"));
    m_lower = new QLineEdit(limits.下限, this);
    m_lower->setObjectName(QStringLiteral("库下"));
    form->addRow(QStringLiteral("库存上限"), m_upper);
    form->addRow(QStringLiteral("库存下限"), m_lower);
    m_switch = new QCheckBox(QStringLiteral("启用独立报警"), this);
    m_switch->setObjectName(QStringLiteral("选择框35"));
    m_switch->setChecked(limits.开关 == kOn);
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("按钮1"));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_switch);
    layout->addWidget(new QLabel(QStringLiteral("启用后忽视店铺初始设置里的统一库存报警设置\n从而采用自身独立的库存报警设置"), this));
    layout->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

AlarmLimits ItemAlarmLimitsDialog::typed() const
{
    return {m_upper->text(), m_lower->text(), m_switch->isChecked() ? kOn : QStringLiteral("假")};
}

StockAlarmReportWindow::StockAlarmReportWindow(AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("StockAlarmReportWindow"));
    setWindowTitle(QStringLiteral("库存报警报表"));
    resize(980, 420);
    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框1"));
    for (const char16_t *title : {u"ID", u"商品条码", u"供货来源", u"商品名称", u"分类", u"款号", u"颜色", u"尺码", u"库存",
                                  u"单位", u"成本价", u"入库日期", u"上", u"下", u"备注"})
        m_list->addColumn(QString::fromUtf16(title), 70);
    auto *exportButton = new QPushButton(QStringLiteral("导出库存报警"), this);
    exportButton->setObjectName(QStringLiteral("超级按钮1"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("提示：0库存商品未纳入报表"), this));
    bottom->addStretch(1);
    bottom->addWidget(exportButton);
    layout->addLayout(bottom);
    connect(exportButton, &QPushButton::clicked, this, &StockAlarmReportWindow::exportStockAlarmReport);

    bool ok = false;
    const QList<QStringList> lines = stockAlarmLines(context, &ok);
    if (!ok)
        MessageSeam::message(this, QString(), alarmtexts::ReadFailed);
    m_list->setUpdatesEnabled(false);
    m_list->addRows(lines);
    m_list->setUpdatesEnabled(true);
}

void StockAlarmReportWindow::exportStockAlarmReport()
{
    const DateParts &today = m_context.today;
    const QString name = excelExportName(kReportPrefix, dateOfToday(today), Clock::now().time());
    // The success text and the log row only for a workbook that was written.
    if (!exportListViewToExcelInProgramDir(m_list, name)) {
        MessageSeam::message(this, QString(), exportFailureText(kReportPrefix));
        return;
    }
    oplog::writeLogRow(m_context, QStringLiteral("库存管理-查看库存报警---导出库存报警"));
    MessageSeam::message(this, QString(), exportSuccessText(kReportPrefix));
}

void openItemAlarmLimitsDialog(AppContext &context, ReportList *purchaseList, QWidget *parent)
{
    const int row = purchaseList->selectedRow();
    const std::optional<qint64> id = row < 0 ? std::nullopt : data::idOf(purchaseList->cellText(row, 0));
    if (!id)
        return;
    ItemAlarmLimitsDialog dialog({purchaseList->cellText(row, 16), purchaseList->cellText(row, 17),
                                  purchaseList->cellText(row, 18)},
                                 parent);
    while (MessageSeam::exec(&dialog) == QDialog::Accepted) {
        const AlarmLimitsResult result = saveItemAlarmLimits(context, *id, dialog.typed());
        if (!result.ok) {
            MessageSeam::message(parent, QString(), result.message);
            continue;
        }
        purchaseList->setCellText(row, 16, result.stored.上限);
        purchaseList->setCellText(row, 17, result.stored.下限);
        purchaseList->setCellText(row, 18, result.stored.开关);
        return;
    }
}

void openStockAlarmReportWindow(AppContext &context, QWidget *parent)
{
    StockAlarmReportWindow window(context, parent);
    MessageSeam::exec(&window);
}

} // namespace stock
