#include "stock/PurchaseEntry.h"

#include "context/AppContext.h"
#include "context/Today.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "platform/Clock.h"
#include "platform/NumberText.h"
#include "printing/LabelPrinter.h"
#include "stock/StockRules.h"

namespace stock {

namespace {

// The lock under which an entry looks for a free generated barcode and stores it, so that two
// workstations generating a code in the same second take different ones.
constexpr qint64 kGeneratedBarcodeLock = 0x73686f7062617263; // "shopbarc"

const QString kSaveFailed = QStringLiteral("采购入库保存失败，本次采购没有写入任何数据，请检查后重新添加！");

QString badQuantityMessage(int line, const QString &typed)
{
    return QStringLiteral("第%1行的数量“%2”不是0或正整数，请重新填写！").arg(line).arg(typed);
}

data::Sql shopIs(const QString &shop)
{
    return data::eq(QStringLiteral("所属店铺"), shop);
}

// True when another stock row of the shop already carries the barcode; nullopt when the look-up failed.
std::optional<bool> barcodeTaken(data::Connection &db, const QString &shop, const QString &barcode)
{
    data::RecordSet rs(db);
    const data::Sql where = data::both(data::eq(QStringLiteral("商品条码"), barcode), shopIs(shop));
    if (!rs.open(data::buildSelectSql(db.dialect(), kStockTable, where, true, QStringLiteral("id ASC"), true)))
        return std::nullopt;
    return rs.rowCount() > 0;
}

// The generated barcode of `now`, stepped past codes the shop already uses.
std::optional<QString> freeGeneratedBarcode(data::Connection &db, const QString &shop, const QDateTime &now)
{
    for (qint64 base = generatedBarcodeBase(now); base <= 999999999999LL; ++base) {
        const QString code = barcodeFromBase(base);
        const std::optional<bool> taken = barcodeTaken(db, shop, code);
        if (!taken)
            return std::nullopt;
        if (!*taken)
            return code;
    }
    return std::nullopt;
}

} // namespace

printing::PurchaseLabels formLabel(const PurchaseForm &form, const QDateTime &now)
{
    printing::PurchaseLabels label;
    label.styleNo = form.styleNo;
    label.tagPrice = form.tagPrice;
    label.barcode = form.barcode.isEmpty() ? generateItemBarcode(now) : form.barcode;
    label.lines.append({1, form.lines[0].colour, form.lines[0].size, 1});
    return label;
}

QString categoryCodeOf(AppContext &context, const QString &category, bool *ok)
{
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    const data::Sql where = data::both(data::eq(QStringLiteral("项目名称"), category), shopIs(context.currentShop));
    const bool opened = rs.open(data::buildSelectSql(db.dialect(), QStringLiteral("分类例表"), where, true,
                                                     QStringLiteral("id ASC"), true));
    if (ok)
        *ok = opened;
    return opened ? rs.text(QStringLiteral("二级编号")) : QString();
}

RequiredField firstEmptyRequiredField(const PurchaseForm &form)
{
    const std::pair<RequiredField, const QString *> required[] = {
        {RequiredField::Supplier, &form.supplier}, {RequiredField::Category, &form.category},
        {RequiredField::StyleNo, &form.styleNo},   {RequiredField::Size1, &form.lines[0].size},
        {RequiredField::Cost, &form.cost},         {RequiredField::TagPrice, &form.tagPrice}};
    for (const auto &[field, text] : required)
        if (text->isEmpty())
            return field;
    return RequiredField::None;
}

PurchaseResult addPurchase(AppContext &context, const PurchaseForm &form, printing::LabelPrinter &labels)
{
    PurchaseResult result;
    result.missing = firstEmptyRequiredField(form);
    if (result.missing != RequiredField::None) {
        result.message = kFillInEverything;
        return result;
    }
    const std::optional<QString> cost = parsePrice(form.cost);
    const std::optional<QString> tagPrice = parsePrice(form.tagPrice);
    if (!cost || !tagPrice) {
        result.message = kPricesMustBeNumbers;
        return result;
    }
    if (!moneyWithinCeiling(*cost) || !moneyWithinCeiling(*tagPrice)) {
        result.message = moneyCeilingText();
        return result;
    }
    const std::optional<QString> discount = parseItemDiscount(form.discount);
    if (!discount) {
        result.message = kItemDiscountRefused;
        return result;
    }
    std::array<qint64, PurchaseForm::lineCount> quantities{};
    for (int k = 0; k < PurchaseForm::lineCount; ++k) {
        const std::optional<qint64> q = parseQuantity(form.lines[k].quantity);
        if (!q) {
            result.message = badQuantityMessage(k + 1, form.lines[k].quantity);
            return result;
        }
        quantities[k] = *q;
    }

    data::Connection &db = context.connection();
    const bool printLabels = isFlagOn(context.labelPrintFlag);
    const QString shop = context.currentShop;
    const QString date = datingNow(context).dateText();
    const QDateTime now = Clock::now(); // the barcode reads the clock once per entry
    QString barcode = form.barcode;
    printing::PurchaseLabels toPrint;

    {
        data::Transaction tx = db.transaction();
        bool ok = tx.isActive();
        QString categoryCode;
        if (ok)
            categoryCode = categoryCodeOf(context, form.category, &ok);
        const QString searchKey = searchKeyOf(form.name);
        for (int k = 0; ok && k < PurchaseForm::lineCount; ++k) {
            if (quantities[k] <= 0)
                continue;
            const PurchaseLine &line = form.lines[k];
            if (printLabels && barcode.isEmpty()) {
                // The check and the insert that takes the code run under the lock (held until
                // the commit); SQLite's write transaction already holds the whole file.
                if (!db.holdTransactionLock(kGeneratedBarcodeLock)) {
                    ok = false;
                    break;
                }
                const std::optional<QString> generated = freeGeneratedBarcode(db, shop, now);
                if (!generated) {
                    ok = false;
                    break;
                }
                barcode = *generated;
            }
            const data::Pairs row = {
                {QStringLiteral("已售"), QStringLiteral("0")},
                {QStringLiteral("类别"), form.category},
                {QStringLiteral("款号"), form.styleNo},
                {QStringLiteral("名称"), form.name},
                {QStringLiteral("颜色"), line.colour},
                {QStringLiteral("尺码"), line.size},
                {QStringLiteral("商品条码"), barcode},
                {QStringLiteral("供货来源"), form.supplier},
                {QStringLiteral("进货价"), *cost},
                {QStringLiteral("吊牌价"), *tagPrice},
                {QStringLiteral("数量"), QString::number(quantities[k])},
                {QStringLiteral("入库日期"), date},
                {QStringLiteral("入库人"), context.currentUserName},
                {QStringLiteral("销售日期"), QString()},
                {QStringLiteral("导购员"), QString()},
                {QStringLiteral("收银员"), QString()},
                {QStringLiteral("会员编号"), QString()},
                {QStringLiteral("销售折扣"), QString()},
                {QStringLiteral("销售单价"), QString()},
                {QStringLiteral("小票单号"), QString()},
                {QStringLiteral("所属店铺"), shop},
                {QStringLiteral("拼音检索"), searchKey},
                {QStringLiteral("折扣"), *discount},
                {QStringLiteral("单位"), form.unit},
                {QStringLiteral("零库存"), QStringLiteral("1")},
                {QStringLiteral("大类"), categoryCode},
                {QStringLiteral("上限"), QStringLiteral("0")},
                {QStringLiteral("下限"), QStringLiteral("0")},
            };
            ok = db.execute(data::buildInsertSql(db.dialect(), kStockTable, storedPairs(row)));
            if (ok) {
                ++result.rowsWritten;
                toPrint.lines.append({k + 1, line.colour, line.size, int(quantities[k])});
            }
        }
        if (ok) {
            const data::Pairs tail = {{QStringLiteral("款号"), styleNumberTail(form.styleNo)},
                                      {QStringLiteral("所属店铺"), shop}};
            ok = db.execute(data::buildInsertSql(db.dialect(), QStringLiteral("款式号"), storedPairs(tail)));
        }
        if (ok)
            ok = tx.commit();
        if (!ok) {
            if (tx.isActive())
                tx.rollback();
            result = PurchaseResult();
            result.message = kSaveFailed;
            return result;
        }
    }

    result.saved = true;
    result.barcode = barcode;
    if (printLabels && !toPrint.lines.isEmpty()) {
        toPrint.styleNo = form.styleNo;
        toPrint.tagPrice = form.tagPrice;
        toPrint.barcode = barcode;
        labels.printPurchaseLabels(toPrint);
    }
    return result;
}

QString suggestNextStyleNo(AppContext &context)
{
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    if (!rs.open(data::buildSelectSql(db.dialect(), QStringLiteral("款式号"), shopIs(context.currentShop), true,
                                      QStringLiteral("id ASC"), true)))
        return {};
    qint64 largest = 0;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
        largest = qMax(largest, rs.integer(QStringLiteral("款号")));
    return context.discountScheme.款号字母 + QString::number(largest + 1);
}

std::optional<StylePrefill> prefillFromStyleNo(AppContext &context, const QString &styleNo)
{
    if (styleNo.isEmpty())
        return std::nullopt;
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    const data::Sql where = data::both(data::eq(QStringLiteral("款号"), styleNo), shopIs(context.currentShop));
    if (!rs.open(data::buildSelectSql(db.dialect(), kStockTable, where, true, QStringLiteral("id ASC"), true))
        || rs.rowCount() <= 0)
        return std::nullopt;
    StylePrefill p;
    p.category = rs.text(QStringLiteral("类别"));
    p.name = rs.text(QStringLiteral("名称"));
    p.cost = rs.text(QStringLiteral("进货价"));
    p.unit = rs.text(QStringLiteral("单位"));
    p.barcode = rs.text(QStringLiteral("商品条码"));
    p.tagPrice = rs.text(QStringLiteral("吊牌价"));
    p.discount = rs.text(QStringLiteral("折扣"));
    return p;
}

void applyPrefill(const StylePrefill &prefill, PurchaseForm &form)
{
    form.category = prefill.category;
    form.name = prefill.name;
    form.cost = prefill.cost;
    form.unit = prefill.unit;
    form.barcode = prefill.barcode;
    form.tagPrice = prefill.tagPrice;
    form.discount = prefill.discount;
}

} // namespace stock
