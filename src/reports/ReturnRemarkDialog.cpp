#include "reports/ReturnRemarkDialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace reports {

ReturnRemarkDialog::ReturnRemarkDialog(const QString &remark, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ReturnRemarkDialog"));
    setWindowTitle(QStringLiteral("修改备注"));
    m_remark = new QLineEdit(remark, this);
    m_remark->setObjectName(QStringLiteral("编辑框1"));
    m_remark->setMinimumWidth(260);
    auto *confirm = new QPushButton(QStringLiteral("确认修改"), this);
    confirm->setObjectName(QStringLiteral("按钮1"));
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_remark, 1);
    layout->addWidget(confirm);
    connect(confirm, &QPushButton::clicked, this, &QDialog::accept);
}

QString ReturnRemarkDialog::remark() const
{
    return m_remark->text();
}

} // namespace reports
