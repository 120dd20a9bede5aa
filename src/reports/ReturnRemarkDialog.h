#pragma once
// The small dialog "修改备注" of the returns window: the remark of one return row, confirmed with
// 确认修改.
#include <QDialog>

class QLineEdit;

namespace reports {

class ReturnRemarkDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ReturnRemarkDialog(const QString &remark, QWidget *parent = nullptr);

    QString remark() const; // what 编辑框1 holds
    QLineEdit *remarkBox() const { return m_remark; }

private:
    QLineEdit *m_remark;
};

} // namespace reports
