#include "stock/CategoryTreeWidget.h"

#include "context/AppContext.h"
#include "context/Rights.h"
#include "platform/MessageSeam.h"
#include "stock/CategoryNameDialog.h"
#include "stock/CategoryTree.h"

#include <QMenu>
#include <QMouseEvent>
#include <QScopedValueRollback>

namespace stock {

CategoryTreeWidget::CategoryTreeWidget(AppContext &context, QWidget *parent)
    : QTreeWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("树型框1"));
    setHeaderHidden(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &CategoryTreeWidget::showCategoryTreeMenu);
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (m_loading)
            return;
        m_selectionMoved = true;
        const QList<QTreeWidgetItem *> chosen = selectedItems();
        if (!chosen.isEmpty())
            Q_EMIT categoryChosen(chosen.first()->text(0));
    });
    // A click that selected its item has been announced by the selection already.
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        if (item && !m_selectionMoved)
            Q_EMIT categoryChosen(item->text(0));
    });
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        if (item)
            Q_EMIT categoryChosen(item->text(0));
    });
}

void CategoryTreeWidget::loadCategoryTree()
{
    const QScopedValueRollback loading(m_loading, true);
    clear();
    for (const CategoryNode &top : stock::loadCategoryTree(m_context).topLevel) {
        auto *item = new QTreeWidgetItem(this, {top.name});
        for (const CategoryNode &child : top.children)
            new QTreeWidgetItem(item, {child.name});
    }
    expandAll();
}

void CategoryTreeWidget::mousePressEvent(QMouseEvent *event)
{
    m_selectionMoved = false;
    QTreeWidget::mousePressEvent(event);
}

void CategoryTreeWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTreeWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        addTopCategory();
}

QString CategoryTreeWidget::currentName() const
{
    return currentItem() ? currentItem()->text(0) : QString();
}

bool CategoryTreeWidget::hasSelection() const
{
    return currentItem() && currentItem()->isSelected();
}

bool CategoryTreeWidget::askName(const QString &title, const QString &prompt, QString *name)
{
    CategoryNameDialog input(title, prompt, this);
    if (MessageSeam::exec(&input) != QDialog::Accepted)
        return false;
    *name = input.textValue();
    return true;
}

void CategoryTreeWidget::showMessage(const QString &message)
{
    if (!message.isEmpty())
        MessageSeam::message(this, QString(), message);
}

void CategoryTreeWidget::addTopCategory()
{
    if (!rights::checkRight(m_context, QStringLiteral("分类管理"), this))
        return;
    QString name;
    if (!askName(QStringLiteral("新增一级分类"), QStringLiteral("请在下面编辑框内填写一级分类的名字。比如：上衣"), &name))
        return;
    const CategoryResult r = stock::addTopCategory(m_context, name);
    showMessage(r.message);
    if (r.changed) {
        loadCategoryTree();
        Q_EMIT categoriesChanged();
    }
}

void CategoryTreeWidget::addSubCategory()
{
    // With nothing selected (a new shop's empty tree, a click on empty space) there is no parent:
    // the category added is a first-level one, as by the double click.
    if (!hasSelection()) {
        addTopCategory();
        return;
    }
    if (!rights::checkRight(m_context, QStringLiteral("分类管理"), this))
        return;
    const QString parentName = currentName();
    const QString refusal = subCategoryRefusal(m_context, parentName);
    if (!refusal.isEmpty()) {
        showMessage(refusal);
        return;
    }
    QString name;
    if (!askName(QStringLiteral("新增二级分类"), QStringLiteral("请在下面编辑框内填写二级分类的名字。比如：棉衣"), &name))
        return;
    const CategoryResult r = stock::addSubCategory(m_context, parentName, name);
    showMessage(r.message);
    if (r.changed) {
        loadCategoryTree();
        Q_EMIT categoriesChanged();
    }
}

void CategoryTreeWidget::deleteCategory()
{
    if (!rights::checkRight(m_context, QStringLiteral("分类管理"), this))
        return;
    const QString name = currentName();
    if (!MessageSeam::question(this, QStringLiteral("删除分类"), deleteCategoryQuestion(name)))
        return;
    const CategoryResult r = stock::deleteCategory(m_context, name);
    showMessage(r.message);
    if (r.changed) {
        loadCategoryTree();
        Q_EMIT categoriesChanged();
    }
}

void CategoryTreeWidget::renameCategory()
{
    if (!rights::checkRight(m_context, QStringLiteral("分类管理"), this))
        return;
    const QString oldName = currentName();
    QString name;
    if (!askName(QStringLiteral("修改当前分类"), renameCategoryPrompt(oldName), &name))
        return;
    const CategoryResult r = stock::renameCategory(m_context, oldName, name);
    showMessage(r.message);
    if (r.changed) {
        loadCategoryTree();
        Q_EMIT categoriesChanged();
    }
}

void CategoryTreeWidget::showCategoryTreeMenu(const QPoint &pos)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("树形框"));
    menu.addAction(QStringLiteral("删除分类"), this, &CategoryTreeWidget::deleteCategory);
    menu.addAction(QStringLiteral("修改分类"), this, &CategoryTreeWidget::renameCategory);
    menu.addAction(QStringLiteral("添加分类"), this, &CategoryTreeWidget::addSubCategory);
    menu.exec(viewport()->mapToGlobal(pos));
}

} // namespace stock
