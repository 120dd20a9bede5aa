#pragma once
// The shop's catalogue lists behind the purchase form: colours and sizes (颜色尺码), units (单位管理)
// and suppliers (供货管理). Every list is the workstation's shop's, in the order of entry.
#include <QList>
#include <QString>
#include <QStringList>

class AppContext;

namespace stock {

enum class CatalogueKind { Colour, Size, Unit };

inline const QString kNoShop = QStringLiteral("请在上面先指定本机当前使用哪个店铺");

struct CatalogueResult {
    bool changed = false; // the list changed; the page reloads it
    QString message;      // to show; "" for none
};

// The values of a list (ORDER BY id). Empty on failure.
QStringList loadCatalogue(AppContext &context, CatalogueKind kind);
// The shop's second-level category names (for 类别7), by id.
QStringList loadSecondLevelCategories(AppContext &context);
// The shop's supplier names (for 供货来源7), by id.
QStringList loadSupplierNames(AppContext &context);

CatalogueResult addCatalogueValue(AppContext &context, CatalogueKind kind, const QString &value);
// Deletes the first row of the shop with the value (one row even when it is there twice); a value
// that is not in the list does nothing and says nothing.
CatalogueResult deleteCatalogueValue(AppContext &context, CatalogueKind kind, const QString &value);

struct Supplier {
    QString id;
    QString name, contact, address, mobile, phone, fax;
};
struct SupplierList {
    bool ok = false;
    QList<Supplier> suppliers;
};
SupplierList loadSupplierList(AppContext &context);
// Inserts a supplier of the workstation's shop (a name is required; the same name twice is allowed).
CatalogueResult addSupplier(AppContext &context, const Supplier &supplier);
// Rewrites the supplier list's selected row (its id; "" = nothing selected) of the shop.
CatalogueResult updateSupplier(AppContext &context, const QString &selectedId, const Supplier &supplier);

} // namespace stock
