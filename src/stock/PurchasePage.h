#pragma once
// The page 采购入库: the purchase form (分组框3) and the purchase list (超级列表框7). The page reads its
// controls into a PurchaseForm and calls the plain functions of purchase entry and the purchase
// list; everything it shows goes through MessageSeam.
#include "stock/PurchaseEntry.h"
#include "stock/PurchaseForm.h"

#include <QWidget>
#include <array>

class AppContext;
class QLineEdit;
class QPushButton;
class ReportList;

namespace data {
class RecordSet;
}
namespace printing {
class LabelPrinter;
}

namespace stock {

class FilterComboBox;
struct PurchaseRow;

class PurchasePage : public QWidget {
    Q_OBJECT
public:
    PurchasePage(AppContext &context, printing::LabelPrinter &labels, QWidget *parent = nullptr);

    // The loaders the page switch runs, in the order supplier, category, colours, sizes, unit.
    void loadPurchaseSupplierCombo();
    void loadPurchaseCategoryCombo();
    void loadPurchaseColourCombos();
    void loadPurchaseSizeCombos();
    void loadPurchaseUnitCombo();
    // Fills the list from a record set open on a SELECT of 采购入库 (the page switch's).
    void fillPurchaseList(data::RecordSet &records);
    void fillPurchaseList(const QList<PurchaseRow> &rows);
    // The shop's rows in stock (按钮28 "刷新库存").
    void refreshPurchaseList();

    PurchaseForm readForm() const;
    void writeForm(const PurchaseForm &form);
    // The id of the list's selected data line; "" for none or the totals line.
    QString selectedRowId() const { return m_selectedId; }
    ReportList *list() const { return m_list; }

    // 打条码 "单独打标签": one label of the form's first colour and size line; an empty barcode box
    // prints a generated code and stays empty.
    void printBarcodeLabel();

Q_SIGNALS:
    // The offers and the row menu lead to other pages and windows, which the application opens.
    void categoryPageRequested();   // 选择夹1 page 分类查看 (rights already checked)
    void supplierPageRequested();   // 系统设置, inner page 供货来源管理 (right 系统设置 checked)
    void categoriesChanged();       // a first-level category was added from the offer
    void purchaseReportRequested(); // 按钮20 "采购报表" (the window checks its right)

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addPurchase();
    void clearForm();
    QWidget *requiredField(RequiredField field) const;
    void modifyPurchase();
    void deleteSelected(bool fromMenu);
    void showSelectedPurchase();
    void filterCombo(FilterComboBox *combo, const QStringList &items, const QString &typed);
    void searchProductNamesOnEnter();
    void offerToAddCategory();
    void offerToAddSupplier();
    void showPurchaseListMenu(int row, const QPoint &globalPos);

    AppContext &m_context;
    printing::LabelPrinter &m_labels;
    FilterComboBox *m_supplier, *m_category, *m_unit;
    FilterComboBox *m_name;
    QLineEdit *m_styleNo, *m_cost, *m_tagPrice, *m_discount, *m_discounted, *m_barcode;
    std::array<FilterComboBox *, PurchaseForm::lineCount> m_colours{};
    std::array<FilterComboBox *, PurchaseForm::lineCount> m_sizes{};
    std::array<QLineEdit *, PurchaseForm::lineCount> m_quantities{};
    ReportList *m_list;
    QString m_selectedId;
    bool m_styleNoSuggested = false; // a click filled 款号7: select it when the click ends
};

} // namespace stock
