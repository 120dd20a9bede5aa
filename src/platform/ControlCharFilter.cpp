#include "platform/ControlCharFilter.h"

#include "platform/ControlCharValidator.h"
#include "platform/ControlChars.h"

#include <QAbstractSpinBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

const char *const kGuarded = "shopdesk.controlCharsGuarded";

void guardLine(QLineEdit *edit)
{
    // A spin box's line checks its own text (digits only) and keeps its own validator.
    if (qobject_cast<QAbstractSpinBox *>(edit->parentWidget()))
        return;
    const QValidator *current = edit->validator();
    if (qobject_cast<const ControlCharValidator *>(current))
        return;
    // Set again after the line was guarded, the line's own check keeps working behind ours.
    edit->setValidator(new ControlCharValidator(current, edit));
}

// Drops the characters from the document in the same undo step as the change that brought them.
void dropFrom(QTextDocument *document)
{
    const QString text = document->toPlainText(); // one character for each position of the document
    if (!controlchars::contains(text))
        return;
    QTextCursor cursor(document);
    cursor.joinPreviousEditBlock();
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (!controlchars::isRefused(text.at(i)))
            continue;
        cursor.setPosition(int(i));
        cursor.setPosition(int(i) + 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    cursor.endEditBlock();
}

template <typename Box>
void guardBox(Box *box)
{
    if (box->property(kGuarded).toBool())
        return;
    box->setProperty(kGuarded, true);
    QObject::connect(box, &Box::textChanged, box, [box] { dropFrom(box->document()); });
    dropFrom(box->document());
}

} // namespace

void ControlCharFilter::install(QCoreApplication *application)
{
    if (!application || application->findChild<ControlCharFilter *>(QString(), Qt::FindDirectChildrenOnly))
        return;
    application->installEventFilter(new ControlCharFilter(application));
}

void ControlCharFilter::guard(QWidget *editor)
{
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        guardLine(line);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(editor))
        guardBox(plain);
    else if (auto *rich = qobject_cast<QTextEdit *>(editor))
        guardBox(rich);
}

bool ControlCharFilter::eventFilter(QObject *watched, QEvent *event)
{
    // Polish comes before an editor is first shown; focus catches one that was never shown.
    if ((event->type() == QEvent::Polish || event->type() == QEvent::FocusIn) && watched->isWidgetType())
        guard(static_cast<QWidget *>(watched));
    return false;
}
