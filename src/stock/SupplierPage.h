#pragma once
// The settings page 供货来源管理: the supplier list 超级列表框9 and its edits. 修改 rewrites the row
// selected in this list only.
#include <QWidget>

class AppContext;
class QLineEdit;
class ReportList;

namespace stock {

class SupplierPage : public QWidget {
    Q_OBJECT
public:
    explicit SupplierPage(AppContext &context, QWidget *parent = nullptr);

    void loadSupplierList();
    void addSupplier();
    void updateSupplier();
    QString selectedSupplierId() const { return m_selectedId; }

Q_SIGNALS:
    void suppliersChanged(); // the purchase form reloads 供货来源7

private:
    void showSelectedSupplier();

    AppContext &m_context;
    ReportList *m_list;
    QLineEdit *m_name, *m_contact, *m_address, *m_mobile, *m_phone, *m_fax;
    QString m_selectedId;
};

} // namespace stock
