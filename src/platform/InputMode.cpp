#include "platform/InputMode.h"

#include <QComboBox>
#include <QEvent>
#include <QInputMethodQueryEvent>
#include <QLineEdit>
#include <QObject>

namespace inputmode {

namespace {

// Line edits report themselves as taking input methods whatever their attributes say, so the
// answer to the input method's question is changed on the way.
class NoInputMethod : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::InputMethodQuery) {
            auto *query = static_cast<QInputMethodQueryEvent *>(event);
            if (query->queries() & Qt::ImEnabled) {
                watched->event(event); // the other answers as the field gives them
                query->setValue(Qt::ImEnabled, false);
                return true;
            }
        }
        return false;
    }
};

QWidget *editOf(QWidget *field)
{
    if (auto *combo = qobject_cast<QComboBox *>(field); combo && combo->lineEdit())
        return combo->lineEdit();
    return field;
}

} // namespace

void latinOnly(QWidget *field)
{
    QWidget *edit = editOf(field);
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setInputMethodHints(edit->inputMethodHints() | Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
    edit->installEventFilter(new NoInputMethod(edit));
}

void preferLatin(QWidget *field)
{
    for (QWidget *w : {field, editOf(field)})
        w->setInputMethodHints(w->inputMethodHints() | Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
}

} // namespace inputmode
