#pragma once
// The remark dialog of the purchase report ("修改备注"): the remark of the selected row to change
// (确认修改) or a text to look for in the remarks of every day (查找备注).
#include <QDialog>
#include <QString>

class QPlainTextEdit;

namespace reports {

class PurchaseRemarkDialog : public QDialog
{
    Q_OBJECT
public:
    enum Action { Save, Search };

    PurchaseRemarkDialog(const QString &remark, QWidget *parent = nullptr);

    // The text typed (purchaseReportRemark) and the button that closed the dialog.
    QString remark() const;
    void setRemark(const QString &text);
    Action action() const { return m_action; }

    void savePurchaseReportRemark();    // 按钮1 "确认修改"
    void searchPurchaseReportRemarks(); // 按钮2 "查找备注"

private:
    QPlainTextEdit *m_edit;
    Action m_action = Save;
};

} // namespace reports
