#include "stock/FilterComboBox.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QStringListModel>

namespace stock {

FilterComboBox::FilterComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    m_model = new QStringListModel(this);
    m_completer = new QCompleter(m_model, this);
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setWidget(lineEdit());
    connect(m_completer, qOverload<const QString &>(&QCompleter::activated), this,
            [this](const QString &text) { setEditText(text); });
    connect(lineEdit(), &QLineEdit::textEdited, this, &FilterComboBox::typed);
}

void FilterComboBox::setItemsKeepingText(const QStringList &items)
{
    const QString text = currentText();
    const int cursor = lineEdit()->cursorPosition();
    blockSignals(true);
    clear();
    addItems(items);
    setCurrentIndex(-1);
    setEditText(text);
    lineEdit()->setCursorPosition(cursor);
    blockSignals(false);
    m_model->setStringList(items);
}

void FilterComboBox::showFilterResult(const QStringList &items)
{
    setItemsKeepingText(items);
    if (items.size() == 1) {
        setEditText(items.first());
        m_completer->popup()->hide();
    } else if (items.size() > 1) {
        m_completer->complete();
    } else {
        m_completer->popup()->hide();
    }
}

void FilterComboBox::showPopup()
{
    Q_EMIT dropDownRequested();
    if (count() > 0)
        QComboBox::showPopup();
}

} // namespace stock
