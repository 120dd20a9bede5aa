#pragma once
// The remark dialog of the sales report (caption "结算备注"): the selected row's remark to change,
// or a text to look for among the remarks. The sales report window acts on its two buttons.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace reports {

class SummaryRemarkDialog : public QDialog
{
    Q_OBJECT
public:
    // initSummaryRemarkDialog: the edit box starts with the remark carried in.
    explicit SummaryRemarkDialog(const QString &summaryRemark, QWidget *parent = nullptr);

    QString text() const;
    QLineEdit *editBox() const { return m_edit; }

Q_SIGNALS:
    void saveRequested();   // 按钮1 "确认修改"
    void searchRequested(); // 按钮2 "查找备注"

private:
    QLineEdit *m_edit;
};

} // namespace reports
