#pragma once
// The line edit dialog "修改此单": the quantity and remark of one cart line. A raised quantity is
// checked against the line's own stock row as it is typed and again on confirmation; only a
// quantity above the line's own is applied, the remark always.
#include <QDialog>
#include <functional>

#include "cashier/Cart.h"

class AppContext;
class QLineEdit;
class QLabel;
class QPushButton;

namespace cashier {

class LineEditDialog : public QDialog {
    Q_OBJECT
public:
    LineEditDialog(AppContext &context, const CartLine &line, QWidget *parent = nullptr);

    QLineEdit *quantityBox() const { return m_quantity; }
    QLineEdit *remarkBox() const { return m_remark; }
    QPushButton *confirmButton() const { return m_confirm; }
    QPushButton *cancelButton() const { return m_cancel; }

    // After an accepted dialog: the confirmed quantity and remark.
    QString confirmedQuantity() const { return m_confirmedQuantity; }
    QString confirmedRemark() const { return m_confirmedRemark; }

    // 结算 "确认修改[Enter]": re-checks the quantity; a refused one is put back and the dialog
    // stays open.
    void confirmLineEdit();
    void cancelLineEdit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void initLineEditDialog();
    // The change handler of x数量 (every change, guarded against re-entry).
    void checkLineStock();
    // Shows the refusal of the quantity in the box and puts the line's quantity back; false then.
    bool acceptQuantity(const QString &refusal);

    AppContext &m_context;
    CartLine m_line;
    QLineEdit *m_barcode = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_styleNo = nullptr;
    QLineEdit *m_colour = nullptr;
    QLineEdit *m_size = nullptr;
    QLineEdit *m_quantity = nullptr;
    QLineEdit *m_remark = nullptr;
    QPushButton *m_confirm = nullptr;
    QPushButton *m_cancel = nullptr;
    QLabel *m_hotKeyLabel = nullptr;
    bool m_inQuantityHandler = false;
    QString m_confirmedQuantity;
    QString m_confirmedRemark;
};

// editCartLine: opens the dialog (modal, through the message seam) on the line at row and takes
// its result back (applyLineEdit). The main hot keys are released before and registered again
// after, through the two functions when given. False when row is no line or the dialog was
// cancelled.
bool editCartLine(AppContext &context, Cart &cart, int row, QWidget *parent = nullptr,
                  const std::function<void()> &releaseMainHotKeys = {},
                  const std::function<void()> &registerPosHotKeys = {});

} // namespace cashier
