#include "platform/MessageScript.h"

#include <QDialog>
#include <QMessageBox>

namespace {
MessageScript *current = nullptr;
}

MessageScript::MessageScript()
    : outer(current)
{
    current = this;
}

MessageScript::~MessageScript()
{
    if (current == this)
        current = outer;
}

void MessageScript::queueAnswers(std::initializer_list<bool> list)
{
    for (bool yes : list)
        answers.append(yes);
}

void MessageScript::setDefaultAnswer(bool yes)
{
    defaultAnswer = yes;
}

void MessageScript::setDialogHandler(DialogHandler handler)
{
    dialogHandler = std::move(handler);
}

void MessageScript::setMessageHandler(std::function<void(const ShownMessage &)> handler)
{
    messageHandler = std::move(handler);
}

void MessageScript::setRealBoxes(std::function<void(QMessageBox *)> whileOpen)
{
    realBoxHandler = std::move(whileOpen);
}

QStringList MessageScript::texts() const
{
    QStringList list;
    for (const ShownMessage &m : shown)
        list.append(m.text);
    return list;
}

void MessageScript::clear()
{
    shown.clear();
    opened.clear();
    answers.clear();
}

MessageScript *MessageScript::active()
{
    return current;
}

bool MessageScript::record(ShownMessage message)
{
    if (message.question)
        message.answeredYes = answers.isEmpty() ? defaultAnswer : answers.takeFirst();
    shown.append(message);
    if (messageHandler) {
        const auto handler = messageHandler; // the handler may replace itself
        handler(message);
    }
    return message.answeredYes;
}

void MessageScript::workRealBox(QMessageBox *box)
{
    if (realBoxHandler) {
        const auto handler = realBoxHandler; // the handler may replace itself
        handler(box);
    }
    if (box->isVisible()) {
        qWarning("A real message box was left open by the test: closed as by Esc: %s", qUtf8Printable(box->text()));
        box->reject();
    }
}

void MessageScript::recordAnswered(const ShownMessage &message)
{
    shown.append(message);
}

int MessageScript::runDialog(QDialog *dialog)
{
    opened.append(dialog->objectName().isEmpty() ? QString::fromLatin1(dialog->metaObject()->className())
                                                 : dialog->objectName());
    if (!dialogHandler)
        return QDialog::Rejected;
    return dialogHandler(dialog);
}
