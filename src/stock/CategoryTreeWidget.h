#pragma once
// The category tree 树型框1 of the 分类查看 page with its menu 树形框. Every change asks for the right
// 分类管理 first; the category acted on is the tree's current item. Whatever the user selects, by the
// mouse or the arrow keys, is announced as chosen (the stock view lists it); so are a click on the
// selected category and Enter, which list it again. The tree's own reload announces nothing.
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
    void categoryChosen(const QString &name);

protected:
    // A double click anywhere in the tree adds a first-level category, also in an empty tree.
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QString currentName() const;
    bool hasSelection() const;
    bool askName(const QString &title, const QString &prompt, QString *name);
    void showMessage(const QString &message);
    void showCategoryTreeMenu(const QPoint &pos);

    AppContext &m_context;
    bool m_loading = false;          // the tree is being rebuilt: its selection changes are not the user's
    bool m_selectionMoved = false;   // the selection changed since the last mouse press
};

} // namespace stock
