#pragma once
// The category tree 树型框1 of the 分类查看 page with its menu 树形框. Every change asks for the right
// 分类管理 first; the category acted on is the tree's current item.
#include <QTreeWidget>

class AppContext;

namespace stock {

class CategoryTreeWidget : public QTreeWidget {
    Q_OBJECT
public:
    explicit CategoryTreeWidget(AppContext &context, QWidget *parent = nullptr);

    void loadCategoryTree();
    void addTopCategory();
    // Under the selected first-level category; with nothing selected, a first-level one.
    void addSubCategory();
    void deleteCategory();
    void renameCategory();

Q_SIGNALS:
    void categoriesChanged(); // the purchase form reloads its category combo

protected:
    // A double click anywhere in the tree adds a first-level category, also in an empty tree.
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QString currentName() const;
    bool hasSelection() const;
    bool askName(const QString &title, const QString &prompt, QString *name);
    void showMessage(const QString &message);
    void showCategoryTreeMenu(const QPoint &pos);

    AppContext &m_context;
};

} // namespace stock
