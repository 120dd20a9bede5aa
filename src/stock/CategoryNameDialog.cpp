#include "stock/CategoryNameDialog.h"

namespace stock {

CategoryNameDialog::CategoryNameDialog(const QString &title, const QString &prompt, QWidget *parent)
    : QInputDialog(parent)
{
    setWindowTitle(title);
    setLabelText(prompt);
    setOkButtonText(QStringLiteral("确定"));
    setCancelButtonText(QStringLiteral("取消"));
}

} // namespace stock
