#pragma once
// The box that asks for a category name: title, prompt, an empty edit and the buttons 确定 / 取消.
#include <QInputDialog>

namespace stock {

class CategoryNameDialog : public QInputDialog {
    Q_OBJECT
public:
    CategoryNameDialog(const QString &title, const QString &prompt, QWidget *parent = nullptr);
};

} // namespace stock
