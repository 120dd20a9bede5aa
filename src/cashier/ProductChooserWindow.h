#pragma once
// The product chooser: several stock rows matched the scan box, the cashier double-clicks one.
// Untitled 974 × 276 modal window; its list 超级列表框1 shows exactly the rows the lookup found,
// and opens with the first row selected and in view.
#include <QDialog>
#include <QList>

#include "cashier/ItemLookup.h"

class ReportList;

namespace cashier {

// The hand-over from the chooser to the lookup.
struct PickedItem {
    QString searchText; // the search key; a pick replaces it with the picked row's 款号
    QString result;     // "双击" once a row was picked
    FoundItem item;     // the picked row
    bool picked() const { return result == QStringLiteral("双击"); }
};

class ProductChooserWindow : public QDialog {
    Q_OBJECT
public:
    ProductChooserWindow(const LookupKey &key, const QList<FoundItem> &rows, QWidget *parent = nullptr);

    ReportList *list() const { return m_list; }
    const PickedItem &pickedItem() const { return m_picked; }
    // Double click in the list: with a row selected, hands it over and closes (accepted); with
    // none selected nothing happens.
    void pickProduct();

protected:
    // Enter on a selected row picks it as a double click does, so the counter works without
    // the mouse; Esc closes the chooser with nothing picked.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void initProductChooserWindow(const QList<FoundItem> &rows);

    ReportList *m_list = nullptr;
    QList<FoundItem> m_rows;
    PickedItem m_picked;
};

} // namespace cashier
