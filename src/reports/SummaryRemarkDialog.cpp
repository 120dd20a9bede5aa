#include "reports/SummaryRemarkDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace reports {

SummaryRemarkDialog::SummaryRemarkDialog(const QString &summaryRemark, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SummaryRemarkDialog"));
    setWindowTitle(QStringLiteral("结算备注"));
    m_edit = new QLineEdit(summaryRemark, this);
    m_edit->setObjectName(QStringLiteral("编辑框1"));
    m_edit->setMinimumWidth(320);
    auto *save = new QPushButton(QStringLiteral("确认修改"), this);
    save->setObjectName(QStringLiteral("按钮1"));
    auto *search = new QPushButton(QStringLiteral("查找备注"), this);
    search->setObjectName(QStringLiteral("按钮2"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("支持中文模糊查找"), this));
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(search);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, &SummaryRemarkDialog::saveRequested);
    connect(search, &QPushButton::clicked, this, &SummaryRemarkDialog::searchRequested);
}

QString SummaryRemarkDialog::text() const
{
    return m_edit->text();
}

} // namespace reports
