#include "stock/StockAdjust.h"

#include "context/AppContext.h"
#include "context/OperationLog.h"
#include "context/Rights.h"
#include "context/Today.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "lists/ReportList.h"
#include "platform/MessageSeam.h"
#include "platform/NumberText.h"
#include "stock/PurchaseEntry.h"
#include "stock/PurchaseList.h"
#include "stock/StockRules.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace stock {

namespace {

const QString kHistoryTable = QStringLiteral("商品历史");
const QString kSeeCost = QStringLiteral("查看进价");
const QString kSpecialMark = QStringLiteral("√");

// The change typed: "" (none), or a signed whole number in half-width form.
std::optional<QString> parseChange(const QString &typed)
{
    if (toHalfWidth(typed).trimmed().isEmpty())
        return QString();
    const std::optional<qint64> change = typedWholeNumber(typed);
    if (!change)
        return std::nullopt;
    return QString::number(*change);
}

// The purchase list's totals line (the line without an id), summed again over the lines shown.
void showPurchaseTotals(ReportList *purchaseList)
{
    QList<QStringList> dataLines;
    int totalsRow = -1;
    for (int r = 0; r < purchaseList->rowCount(); ++r) {
        QStringList cells = purchaseList->rowTexts(r);
        if (cells.value(0).isEmpty())
            totalsRow = r;
        else
            dataLines.append(std::move(cells));
    }
    if (totalsRow < 0)
        return; // no totals line without 查看进价
    const QStringList totals = purchaseTotalsCells(dataLines);
    for (int c = 0; c < totals.size(); ++c)
        purchaseList->setCellText(totalsRow, c, totals.at(c));
}

} // namespace

StockAdjustResult applyStockAdjust(AppContext &context, qint64 rowId, const StockAdjustValues &values)
{
    StockAdjustResult result;
    const std::optional<QString> change = parseChange(values.数量);
    if (!change) {
        result.message = adjusttexts::CountNotWhole;
        return result;
    }
    const bool seesCost = rights::hasRight(context, kSeeCost);
    const std::optional<QString> tag = parsePrice(values.吊牌价);
    const std::optional<QString> cost = seesCost ? parsePrice(values.成本价) : std::optional<QString>(QString());
    if (!tag || !cost || tag->isEmpty() || (seesCost && cost->isEmpty())) {
        result.message = adjusttexts::PricesNotNumbers;
        return result;
    }
    if (!moneyWithinCeiling(*tag) || !moneyWithinCeiling(*cost)) {
        result.message = moneyCeilingText();
        return result;
    }
    const std::optional<QString> discount = parseItemDiscount(values.商品折扣);
    if (!discount) {
        result.message = kItemDiscountRefused;
        return result;
    }

    const QString day = datingNow(context).dateText();
    data::Connection &db = context.connection();
    const data::Dialect &dialect = db.dialect();
    const data::Sql byRow = data::both(data::eq(QStringLiteral("id"), rowId), data::eq(QStringLiteral("所属店铺"), context.currentShop));
    const auto failed = [&result](const QString &message) {
        result.message = message;
        return result;
    };
    data::Transaction tx = db.transaction();
    if (!tx.isActive())
        return failed(adjusttexts::Failed);
    data::RecordSet row(db);
    if (!row.open(data::buildSelectSql(dialect, kStockTable, byRow, true, QString(), false)))
        return failed(adjusttexts::Failed);
    if (row.rowCount() <= 0)
        return failed(adjusttexts::RowGone);
    const QString styleNo = row.text(QStringLiteral("款号"));
    const QString storedCost = seesCost ? *cost : row.text(QStringLiteral("进货价"));

    // The stock row first, by increment from what is stored now; then the history records it.
    data::Sql set(dialect.increment(QStringLiteral("数量")), {textToInteger(*change)});
    set += data::Sql(QStringLiteral(",进货价=?,吊牌价=?,折扣=?,特价=?,零库存='1'"),
                     {storedCost, *tag, *discount, values.特价});
    if (!db.execute(data::buildUpdateSql(dialect, kStockTable, set, byRow, true)) || db.numRowsAffected() != 1)
        return failed(adjusttexts::Failed);
    if (!row.open(data::buildSelectSql(dialect, kStockTable, byRow, true, QString(), false)) || row.rowCount() <= 0)
        return failed(adjusttexts::Failed);
    const QString quantity = row.text(QStringLiteral("数量"));

    const data::Pairs history{{QStringLiteral("当前总数"), quantity},     {QStringLiteral("数量"), values.数量},
                              {QStringLiteral("原始ID"), QString::number(rowId)},
                              {QStringLiteral("成本价"), storedCost},      {QStringLiteral("吊牌价"), *tag},
                              {QStringLiteral("商品折扣"), *discount},    {QStringLiteral("特价"), values.特价},
                              {QStringLiteral("操作员"), context.currentUserName},
                              {QStringLiteral("调整日期"), day},          {QStringLiteral("备注"), values.备注}};
    if (!db.execute(data::buildInsertSql(dialect, kHistoryTable, history)))
        return failed(adjusttexts::Failed);
    const QString action = QStringLiteral("采购入库--调整商品---ID号：") + QString::number(rowId) + QStringLiteral("  款号：")
                           + styleNo + QStringLiteral("  调整数：") + values.数量 + QStringLiteral("  成本价：")
                           + storedCost + QStringLiteral("  吊牌价：") + *tag + QStringLiteral("  折扣：") + *discount
                           + QStringLiteral("  特价：") + values.特价;
    if (!oplog::writeLogRow(context, action) || !tx.commit())
        return failed(adjusttexts::Failed);
    result.ok = true;
    result.message = adjusttexts::Done;
    result.quantity = quantity;
    result.cost = storedCost;
    result.tagPrice = *tag;
    result.discount = *discount;
    result.special = values.特价;
    return result;
}

QList<QStringList> itemHistoryRows(AppContext &context, qint64 rowId, bool *ok)
{
    QList<QStringList> rows;
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    const bool opened = rs.open(data::buildSelectSql(db.dialect(), kHistoryTable,
                                                     data::eq(QStringLiteral("原始ID"), QString::number(rowId)), true,
                                                     QStringLiteral("id ASC"), true));
    if (ok)
        *ok = opened;
    if (!opened)
        return rows;
    const QStringList columns{QStringLiteral("id"),   QStringLiteral("数量"),   QStringLiteral("当前总数"),
                              QStringLiteral("成本价"), QStringLiteral("吊牌价"), QStringLiteral("商品折扣"),
                              QStringLiteral("特价"), QStringLiteral("操作员"), QStringLiteral("备注"),
                              QStringLiteral("调整日期")};
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        QStringList cells;
        for (const QString &c : columns)
            cells << rs.text(c);
        rows << cells;
    }
    return rows;
}

StockAdjustDialog::StockAdjustDialog(const StockAdjustValues &values, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("StockAdjustDialog"));
    setWindowTitle(QStringLiteral("商品调整     数量一栏填 调整数 不是填总数。正数为加负数为减"));
    auto *form = new QFormLayout;
    const auto edit = [this, form](const char16_t *name, const char16_t *label) {
        auto *box = new QLineEdit(this);
        box->setObjectName(QString::fromUtf16(name));
        form->addRow(QString::fromUtf16(label), box);
        return box;
    };
    m_count = edit(u"数量1", u"数    量");
    m_cost = edit(u"成本价1", u"成 本 价");
    m_tag = edit(u"吊牌价1", u"吊 牌 价");
    m_discount = edit(u"折扣1", u"商品折扣");
    m_remark = edit(u"备注1", u"备    注");
    m_special = new QCheckBox(QStringLiteral("特价"), this);
    m_special->setObjectName(QStringLiteral("特价1"));
    form->addRow(m_special);
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("按钮1"));
    ok->setAutoDefault(false);
    form->addRow(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);

    m_cost->setText(values.成本价);
    m_tag->setText(values.吊牌价);
    m_discount->setText(values.商品折扣);
    m_count->setToolTip(QStringLiteral("此处填调整数，而不是总数。正数为加，负数为减"));
    m_special->setChecked(values.特价 == kSpecialMark);
    for (QLineEdit *box : {m_count, m_cost, m_tag, m_discount})
        box->installEventFilter(this);
    connect(ok, &QPushButton::clicked, this, &StockAdjustDialog::confirmStockAdjust);
}

StockAdjustValues StockAdjustDialog::values() const
{
    return {m_count->text(), m_cost->text(), m_tag->text(), m_discount->text(),
            m_special->isChecked() ? kSpecialMark : QString(), m_remark->text()};
}

bool StockAdjustDialog::eventFilter(QObject *watched, QEvent *event)
{
    // A click into a figure selects it whole, so that the next keys replace it.
    if (event->type() == QEvent::MouseButtonRelease)
        if (auto *box = qobject_cast<QLineEdit *>(watched))
            box->selectAll();
    return QDialog::eventFilter(watched, event);
}

ItemHistoryWindow::ItemHistoryWindow(AppContext &context, qint64 rowId, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ItemHistoryWindow"));
    setWindowTitle(QStringLiteral("历史调整"));
    resize(860, 320);
    m_list = new ReportList(this);
    m_list->setObjectName(QStringLiteral("超级列表框5"));
    const std::pair<const char16_t *, int> columns[] = {{u"", 0},         {u"调整数量", 70}, {u"调整后", 70},
                                                        {u"成本价", 65},  {u"吊牌价", 65},   {u"商品折扣", 70},
                                                        {u"特价", 40},    {u"操作员", 55},   {u"备注", 300},
                                                        {u"调整日期", 90}};
    for (const auto &[title, width] : columns)
        m_list->addColumn(QString::fromUtf16(title), width);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    refreshToday(context);
    bool ok = false;
    const QList<QStringList> rows = itemHistoryRows(context, rowId, &ok);
    if (!ok)
        MessageSeam::message(this, QString(), adjusttexts::Failed);
    for (const QStringList &row : rows)
        m_list->ensureRowVisible(m_list->addRow(row));
}

bool startStockAdjust(AppContext &context, ReportList *purchaseList, QWidget *parent)
{
    if (!rights::checkRight(context, QStringLiteral("调整价格"), parent))
        return false;
    const int row = purchaseList->selectedRow();
    const std::optional<qint64> id = row < 0 ? std::nullopt : data::idOf(purchaseList->cellText(row, 0));
    if (!id)
        return false; // nothing or the totals line selected
    StockAdjustValues values{QString(), purchaseList->cellText(row, 10), purchaseList->cellText(row, 11),
                             purchaseList->cellText(row, 12), purchaseList->cellText(row, 13), QString()};
    StockAdjustDialog dialog(values, parent);
    while (MessageSeam::exec(&dialog) == QDialog::Accepted) {
        const StockAdjustResult result = applyStockAdjust(context, *id, dialog.values());
        if (!result.ok) {
            MessageSeam::message(parent, QString(), result.message);
            continue; // what was typed stays in the dialog
        }
        // The line and the totals show the adjustment before the clerk reads that it is done.
        purchaseList->setCellText(row, 8, result.quantity);
        if (rights::hasRight(context, QStringLiteral("查看进价")))
            purchaseList->setCellText(row, 10, result.cost);
        purchaseList->setCellText(row, 11, result.tagPrice);
        purchaseList->setCellText(row, 12, result.discount);
        purchaseList->setCellText(row, 13, result.special);
        showPurchaseTotals(purchaseList);
        MessageSeam::message(parent, QString(), result.message);
        return true;
    }
    return false;
}

void openItemHistoryWindow(AppContext &context, ReportList *purchaseList, QWidget *parent)
{
    const int row = purchaseList->selectedRow();
    const std::optional<qint64> id = row < 0 ? std::nullopt : data::idOf(purchaseList->cellText(row, 0));
    if (!id)
        return;
    ItemHistoryWindow window(context, *id, parent);
    MessageSeam::exec(&window);
}

} // namespace stock
