#pragma once
// An editable combo for typing pinyin initials: the user's typing (never a text set by code) asks
// for the items again; one match becomes the text, several open a list that leaves the keyboard
// with the edit. dropDownRequested comes before the list opens, so an empty combo can offer to add.
#include <QComboBox>

class QCompleter;
class QStringListModel;

namespace stock {

class FilterComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit FilterComboBox(QWidget *parent = nullptr);

    // Replaces the items, keeping the typed text and the cursor.
    void setItemsKeepingText(const QStringList &items);
    // After a filter: one item becomes the text and the list closes; several open the list.
    void showFilterResult(const QStringList &items);
    void showPopup() override;

Q_SIGNALS:
    void typed(const QString &text);       // the user changed the text
    void dropDownRequested();              // the list is about to open

private:
    QCompleter *m_completer;
    QStringListModel *m_model;
};

} // namespace stock
