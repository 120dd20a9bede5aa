#include "platform/MessageScript.h"

#include <QDialog>

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

int MessageScript::runDialog(QDialog *dialog)
{
    opened.append(dialog->objectName().isEmpty() ? QString::fromLatin1(dialog->metaObject()->className())
                                                 : dialog->objectName());
    if (!dialogHandler)
        return QDialog::Rejected;
    return dialogHandler(dialog);
}
