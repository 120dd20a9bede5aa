#include "platform/MessageSeam.h"

#include "platform/MessageScript.h"

#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

int depth = 0;

struct DepthGuard
{
    DepthGuard() { ++depth; }
    ~DepthGuard() { --depth; }
};

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// Without a screen nobody could close a real box: an unscripted message there is logged and
// answered No instead of hanging the program.
bool headless()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen")
        || QGuiApplication::platformName() == QLatin1String("minimal");
}

} // namespace

bool MessageSeam::show(QWidget *parent, const ShownMessage &message)
{
    DepthGuard guard;
    MessageScript *script = MessageScript::active();
    if (script && !script->showsRealBoxes())
        return script->record(message);
    if (!script && headless()) {
        qWarning("Unscripted message box without a screen (answered No): %s / %s",
                 qUtf8Printable(message.title), qUtf8Printable(message.text));
        return false;
    }
    QMessageBox box(boxIcon(message.icon), message.title, message.text, QMessageBox::NoButton, parent);
    if (message.question) {
        box.addButton(QMessageBox::Yes)->setText(QStringLiteral("是"));
        box.addButton(QMessageBox::No)->setText(QStringLiteral("否"));
        box.setDefaultButton(message.defaultAnswer == DefaultAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.addButton(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    }
    if (script) // a test that works the real box with its keys and mouse
        QTimer::singleShot(0, &box, [script, &box] { script->workRealBox(&box); });
    const bool yes = box.exec() == QMessageBox::Yes;
    if (script) {
        ShownMessage answered = message;
        answered.answeredYes = message.question && yes;
        script->recordAnswered(answered);
    }
    return yes;
}

void MessageSeam::message(QWidget *parent, const QString &title, const QString &text, MessageIcon icon)
{
    show(parent, ShownMessage{title, text, icon, false, false});
}

void MessageSeam::information(QWidget *parent, const QString &title, const QString &text)
{
    message(parent, title, text, MessageIcon::Information);
}

void MessageSeam::warning(QWidget *parent, const QString &title, const QString &text)
{
    message(parent, title, text, MessageIcon::Warning);
}

bool MessageSeam::question(QWidget *parent, const QString &title, const QString &text, MessageIcon icon,
                           DefaultAnswer byDefault)
{
    return show(parent, ShownMessage{title, text, icon, true, false, byDefault});
}

int MessageSeam::exec(QDialog *dialog)
{
    if (!dialog)
        return QDialog::Rejected;
    DepthGuard guard;
    if (MessageScript *script = MessageScript::active())
        return script->runDialog(dialog);
    if (headless()) {
        qWarning("Unscripted modal window without a screen (rejected): %s",
                 qUtf8Printable(dialog->objectName()));
        return QDialog::Rejected;
    }
    return dialog->exec();
}

int MessageSeam::modalDepth()
{
    return depth;
}
