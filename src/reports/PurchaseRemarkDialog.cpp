#include "reports/PurchaseRemarkDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace reports {

PurchaseRemarkDialog::PurchaseRemarkDialog(const QString &remark, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PurchaseRemarkDialog"));
    setWindowTitle(QStringLiteral("修改备注"));
    m_edit = new QPlainTextEdit(this);
    m_edit->setObjectName(QStringLiteral("编辑框1"));
    m_edit->setPlainText(remark);
    auto *save = new QPushButton(QStringLiteral("确认修改"), this);
    save->setObjectName(QStringLiteral("按钮1"));
    auto *search = new QPushButton(QStringLiteral("查找备注"), this);
    search->setObjectName(QStringLiteral("按钮2"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(save);
    buttons->addWidget(search);
    buttons->addWidget(new QLabel(QStringLiteral("支持中文模糊查找"), this));
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_edit, 1);
    layout->addLayout(buttons);
    resize(360, 200);
    connect(save, &QPushButton::clicked, this, &PurchaseRemarkDialog::savePurchaseReportRemark);
    connect(search, &QPushButton::clicked, this, &PurchaseRemarkDialog::searchPurchaseReportRemarks);
}

QString PurchaseRemarkDialog::remark() const
{
    return m_edit->toPlainText();
}

void PurchaseRemarkDialog::setRemark(const QString &text)
{
    m_edit->setPlainText(text);
}

void PurchaseRemarkDialog::savePurchaseReportRemark()
{
    m_action = Save;
    accept();
}

void PurchaseRemarkDialog::searchPurchaseReportRemarks()
{
    m_action = Search;
    accept();
}

} // namespace reports
