#pragma once
// Every message box and every modal window of the program opens through this seam. In the program it
// shows a real QMessageBox or runs QDialog::exec(); while a MessageScript exists (tests) it records
// each message (title, text, icon) and answers questions from the script instead, or shows the real
// box for the script to work with keys and clicks.
#include <QString>

class QDialog;
class QWidget;

enum class MessageIcon { None, Information, Warning, Critical };

// The button of a question that Enter presses: "是" unless a wrong Yes would cost the shop its data.
enum class DefaultAnswer { Yes, No };

// One message as it was shown. Warning is the exclamation icon.
struct ShownMessage
{
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::None;
    bool question = false;     // a Yes/No box (else a box with one OK button)
    bool answeredYes = false;  // for questions: the answer given
    DefaultAnswer defaultAnswer = DefaultAnswer::Yes; // for questions: the button Enter presses
};

class MessageSeam
{
public:
    // A box with one OK button ("确定"). Plain notices have no icon and often no title.
    static void message(QWidget *parent, const QString &title, const QString &text,
                        MessageIcon icon = MessageIcon::None);
    static void information(QWidget *parent, const QString &title, const QString &text);
    static void warning(QWidget *parent, const QString &title, const QString &text);
    // A Yes/No box ("是"/"否"), the exclamation icon unless another is given; true when Yes was chosen.
    // Enter presses the default answer's button, Esc "否".
    static bool question(QWidget *parent, const QString &title, const QString &text,
                         MessageIcon icon = MessageIcon::Warning, DefaultAnswer byDefault = DefaultAnswer::Yes);
    // Runs a modal window and returns its result (QDialog::Accepted or Rejected).
    static int exec(QDialog *dialog);
    // How many message boxes and modal windows are open right now (hot keys stay quiet while > 0).
    static int modalDepth();

private:
    static bool show(QWidget *parent, const ShownMessage &message);
};
