#include "stock/StockTransfer.h"

#include "context/AppContext.h"
#include "context/OperationLog.h"
#include "context/Rights.h"
#include "context/Today.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "lists/ReportList.h"
#include "platform/Clock.h"
#include "platform/MessageSeam.h"
#include "platform/NumberText.h"
#include "stock/StockRules.h"
#include "stock/StockView.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>

namespace stock {

namespace {

// One transfer at a time: the receiving shop's row is looked for and made under this lock.
constexpr qint64 kTransferLock = 0x73686f707472616e; // "shoptran"

std::optional<qint64> positiveWhole(const QString &typed)
{
    const std::optional<qint64> n = typedWholeNumber(typed);
    return n && *n > 0 ? n : std::nullopt;
}

} // namespace

QStringList transferTargetShops(AppContext &context)
{
    QStringList shops;
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    if (!rs.open(data::buildSelectSql(db.dialect(), QStringLiteral("店铺名"), data::Sql(), false, QStringLiteral("id ASC"), true)))
        return shops;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        const QString name = rs.text(QStringLiteral("店名"));
        if (name != context.currentShop && !shops.contains(name))
            shops << name;
    }
    return shops;
}

TransferResult transferStockToShop(AppContext &context, qint64 sourceId, const QString &typedQuantity,
                                   const QString &targetShop)
{
    TransferResult result;
    const auto refused = [&result](const QString &message) {
        result.message = message;
        return result;
    };
    const std::optional<qint64> quantity = positiveWhole(typedQuantity);
    if (!quantity)
        return refused(transfertexts::NotWhole);
    if (targetShop.isEmpty() || !transferTargetShops(context).contains(targetShop))
        return refused(transfertexts::NoShop);

    const QString day = datingNow(context).dateText();
    data::Connection &db = context.connection();
    const data::Dialect &dialect = db.dialect();
    data::Transaction tx = db.transaction();
    if (!tx.isActive() || !db.holdTransactionLock(kTransferLock))
        return refused(transfertexts::Failed);
    const data::Sql bySource = data::both(data::eq(QStringLiteral("id"), sourceId),
                                          data::eq(QStringLiteral("所属店铺"), context.currentShop));
    data::RecordSet source(db);
    if (!source.open(data::buildSelectSql(dialect, kStockTable, bySource, true, QString(), false)))
        return refused(transfertexts::Failed);
    if (source.rowCount() <= 0)
        return refused(transfertexts::RowGone);
    const auto s = [&source](const char16_t *column) { return source.text(QString::fromUtf16(column)); };
    // The stock as stored now: units sold since the list was filled count.
    if (*quantity > textToInteger(s(u"数量")))
        return refused(transfertexts::TooMany);

    data::Sql match = data::eq(QStringLiteral("所属店铺"), targetShop);
    for (const char16_t *column : {u"供货来源", u"款号", u"颜色", u"尺码"})
        match = data::both(match, data::eq(QString::fromUtf16(column), s(column)));
    data::RecordSet receiver(db);
    if (!receiver.open(data::buildSelectSql(dialect, kStockTable, match, true, QStringLiteral("id ASC"), true)))
        return refused(transfertexts::Failed);
    if (receiver.rowCount() > 0) {
        data::Sql set(dialect.increment(QStringLiteral("数量")), {*quantity});
        set += data::Sql(QStringLiteral(",零库存='1'"));
        if (!db.execute(data::buildUpdateSql(dialect, kStockTable, set,
                                             data::eq(QStringLiteral("id"), receiver.integer(QStringLiteral("id"))), true)))
            return refused(transfertexts::Failed);
    } else {
        const data::Pairs copy{{QStringLiteral("已售"), QStringLiteral("0")},   {QStringLiteral("类别"), s(u"类别")},
                               {QStringLiteral("款号"), s(u"款号")},           {QStringLiteral("名称"), s(u"名称")},
                               {QStringLiteral("颜色"), s(u"颜色")},           {QStringLiteral("尺码"), s(u"尺码")},
                               {QStringLiteral("商品条码"), s(u"商品条码")},   {QStringLiteral("供货来源"), s(u"供货来源")},
                               {QStringLiteral("进货价"), s(u"进货价")},       {QStringLiteral("吊牌价"), s(u"吊牌价")},
                               {QStringLiteral("数量"), QString::number(*quantity)},
                               {QStringLiteral("入库日期"), s(u"入库日期")},   {QStringLiteral("入库人"), s(u"入库人")},
                               {QStringLiteral("所属店铺"), targetShop},
                               {QStringLiteral("拼音检索"), searchKeyOf(s(u"名称"))},
                               {QStringLiteral("折扣"), s(u"折扣")},           {QStringLiteral("单位"), s(u"单位")},
                               {QStringLiteral("零库存"), QStringLiteral("1")}, {QStringLiteral("大类"), QString()},
                               {QStringLiteral("特价"), s(u"特价")}};
        if (!db.execute(data::buildInsertSql(dialect, kStockTable, copy)))
            return refused(transfertexts::Failed);
    }
    const data::Pairs record{{QStringLiteral("调拨时间"), oplog::logTimeText(day, Clock::now().time())},
                             {QStringLiteral("操作员"), context.currentUserName},
                             {QStringLiteral("调出门店"), context.currentShop},
                             {QStringLiteral("接收门店"), targetShop},
                             {QStringLiteral("商品名称"), s(u"名称")},
                             {QStringLiteral("款号"), s(u"款号")},
                             {QStringLiteral("供货商"), s(u"供货来源")},
                             {QStringLiteral("颜色"), s(u"颜色")},
                             {QStringLiteral("尺码"), s(u"尺码")},
                             {QStringLiteral("单位"), s(u"单位")},
                             {QStringLiteral("数量"), QString::number(*quantity)},
                             {QStringLiteral("成本价"), s(u"进货价")},
                             {QStringLiteral("所属店铺"), context.currentShop}};
    if (!db.execute(data::buildInsertSql(dialect, QStringLiteral("调拨记录"), record)))
        return refused(transfertexts::Failed);
    const data::Sql lower(dialect.increment(QStringLiteral("数量")), {-*quantity});
    if (!db.execute(data::buildUpdateSql(dialect, kStockTable, lower, bySource, true)) || db.numRowsAffected() != 1)
        return refused(transfertexts::Failed);
    if (!source.open(data::buildSelectSql(dialect, kStockTable, bySource, true, QString(), false)) || source.rowCount() <= 0)
        return refused(transfertexts::Failed);
    const QString left = source.text(QStringLiteral("数量"));
    if (!tx.commit())
        return refused(transfertexts::Failed);
    result.ok = true;
    result.sourceQuantity = left;
    return result;
}

TransferDialog::TransferDialog(const QStringList &shops, const QString &stock, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TransferDialog"));
    m_quantity = new QLineEdit(stock, this);
    m_quantity->setObjectName(QStringLiteral("综合内容"));
    m_shop = new QComboBox(this);
    m_shop->setObjectName(QStringLiteral("综合框"));
    m_shop->addItems(shops);
    m_shop->setCurrentIndex(-1);
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("按钮1"));
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("调出数量"), this));
    row->addWidget(m_quantity);
    row->addWidget(new QLabel(QStringLiteral("到"), this));
    row->addWidget(m_shop, 1);
    row->addWidget(new QLabel(QStringLiteral("门店"), this));
    row->addWidget(ok);
    const QString indent(5, u' ');
    auto *note = new QLabel(QStringLiteral("注意：请确认接收调拨的门店分类相同，或者后期手动修改分类\n") + indent
                                + QStringLiteral("因为门店不同，商品分类的内部参数值不同，对于新增的调拨\n") + indent
                                + QStringLiteral("需要在接收门店的采购入库里选定该商品,点击[修改]会自动更新分类参数\n") + indent
                                + QStringLiteral("否则接收门店在库存管理单击分类时，该商品的归类显示可能会错乱\n") + indent
                                + QStringLiteral("仅此而已，不影响销售"),
                            this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(note);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // The proposal is selected whole when the dialog opens and when the box is clicked; typing
    // then goes on, so that 12 can be typed.
    m_quantity->installEventFilter(this);
    m_quantity->setFocus();
    m_quantity->selectAll();
}

QString TransferDialog::quantity() const
{
    return m_quantity->text();
}

QString TransferDialog::targetShop() const
{
    return m_shop->currentText();
}

bool TransferDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_quantity && event->type() == QEvent::MouseButtonRelease)
        m_quantity->selectAll();
    return QDialog::eventFilter(watched, event);
}

void startStockTransfer(AppContext &context, StockViewPage &view, QWidget *parent)
{
    if (!rights::checkRight(context, QStringLiteral("库存调拨"), parent))
        return;
    const qint64 id = view.selectedStockRowId();
    if (!id)
        return;
    const QString stock = view.list()->cellText(view.list()->selectedRow(), 9);
    if (stock == QStringLiteral("0"))
        return;
    refreshToday(context);
    TransferDialog dialog(transferTargetShops(context), stock, parent);
    while (MessageSeam::exec(&dialog) == QDialog::Accepted) {
        const TransferResult result = transferStockToShop(context, id, dialog.quantity(), dialog.targetShop());
        if (!result.ok) {
            MessageSeam::message(parent, QString(), result.message);
            continue; // the dialog keeps what was typed
        }
        view.showStockQuantity(id, result.sourceQuantity);
        return;
    }
}

} // namespace stock
