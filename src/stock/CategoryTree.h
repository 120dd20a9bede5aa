#pragma once
// The two-level categories of a shop (table 分类例表) as the tree of the 分类查看 page shows them,
// and their adding, renaming and deleting. The rights check (分类管理) and the input boxes belong to
// the page; these functions do the reading and writing.
#include <QList>
#include <QString>

class AppContext;

namespace stock {

inline const QString kNoRight = QStringLiteral("没有权限！");
inline const QString kCategoryExists = QStringLiteral("您输入的分类名称已经存在！");
inline const QString kRenameExists = QStringLiteral("您要修改的分类名称已经存在！");

struct CategoryNode {
    QString name;
    QString code;             // 一级编号 of a first-level category
    QList<CategoryNode> children;
};

struct CategoryTree {
    bool ok = false;
    QList<CategoryNode> topLevel; // by numeric code; children by id
};
CategoryTree loadCategoryTree(AppContext &context);

struct CategoryResult {
    bool changed = false; // the table changed; the page reloads the tree
    QString message;      // to show; "" for none
};

// A name of blanks only is ignored (no message); any other name is kept as typed.
bool isBlankName(const QString &name);

// A new first-level category with the code one above the largest of all shops.
CategoryResult addTopCategory(AppContext &context, const QString &name);
// The refusal for adding under the selected item ("" when it is a first-level category).
QString subCategoryRefusal(AppContext &context, const QString &selectedName);
// A new second-level category under the selected first-level one.
CategoryResult addSubCategory(AppContext &context, const QString &selectedName, const QString &name);
// Deletes the selected category; a first-level one only when it has no second-level categories.
CategoryResult deleteCategory(AppContext &context, const QString &selectedName);
// Renames the selected category. A second-level rename also rewrites 类别 of the shop's stock rows
// and sale lines, all in one transaction.
CategoryResult renameCategory(AppContext &context, const QString &selectedName, const QString &newName);

// The texts of the page's boxes.
QString deleteCategoryQuestion(const QString &selectedName);
QString renameCategoryPrompt(const QString &selectedName);

} // namespace stock
