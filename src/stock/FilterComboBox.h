#pragma once
// An editable combo for typing pinyin initials: the user's typing (never a text set by code) asks
// for the items again; one match becomes the text, several open the list. The list never takes the
// keyboard or the mouse: typing (keys and input-method text alike) stays in the edit, Up/Down and
// Enter pick from the list, and a click on another field goes to that field. dropDownRequested
// comes before the list opens, so an empty combo can offer to add.
#include <QComboBox>

class QListView;
class QStringListModel;

namespace stock {

class FilterComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit FilterComboBox(QWidget *parent = nullptr);

    // Replaces the items, keeping the typed text, the cursor and the selection.
    void setItemsKeepingText(const QStringList &items);
    // After a filter: one item becomes the text and the list closes; several open the list. What
    // is typed next continues the text the edit shows.
    void showFilterResult(const QStringList &items);
    // The drop-down (arrow, F4, Alt+Down): asks dropDownRequested first, then lists every item.
    void showPopup() override;
    void hidePopup() override;
    // Whether the list under the edit is open.
    bool isListShown() const;
    // The list itself (for tests and for placing it).
    QListView *listView() const { return m_list; }

Q_SIGNALS:
    void typed(const QString &text);       // the user changed the text
    void dropDownRequested();              // the list is about to open

protected:
    // The combo holds the focus and hands keys and input-method text on to its edit.
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onTextEdited(const QString &text);
    void emitTyped(const QString &text);
    void openList();
    void closeList();
    void moveHighlight(int steps);
    void pick(int row);
    void placeList();

    QListView *m_list;
    QStringListModel *m_model;
    QWidget *m_watchedWindow = nullptr;
    bool m_composing = false;      // an input method holds uncommitted text in the edit
    bool m_typedPending = false;   // the text changed while composing; filter when it ends
    QString m_match;               // the entry shown after initials matched it alone...
    QString m_matchInitials;       // ...and the initials typed so far that found it
};

} // namespace stock
