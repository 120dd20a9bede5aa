#pragma once
// The line edit dialog "修改此单": the quantity and remark of one cart line. The line's barcode,
// name, style number, colour and size are shown read-only. A raised quantity is checked against
// the line's own stock row when it is confirmed, not while it is typed: the cashier types the whole
// number without a message in between; a refused one is put back and selected, so the next
// keystrokes replace it. Only a quantity above the line's own is applied, the remark always.
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

    // 结算 "确认修改[Enter]": checks the quantity; a refused one is put back and the dialog stays
    // open.
    void confirmLineEdit();
    void cancelLineEdit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void initLineEditDialog();
    // The stock check of the typed quantity (on confirmation); false after a refusal.
    bool checkLineStock(const QString &typed);
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
