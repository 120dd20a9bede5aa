#pragma once
// The test side of MessageSeam: while an object of this class exists, no message box or modal window
// is shown. Messages are recorded; questions take their answers from a queue, then the default answer;
// modal windows go to the dialog handler, which can fill the window and return its result.
#include "platform/MessageSeam.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <initializer_list>

class QMessageBox;

class MessageScript
{
public:
    using DialogHandler = std::function<int(QDialog *)>;

    MessageScript();   // becomes the active script (an outer script comes back when this one ends)
    ~MessageScript();
    MessageScript(const MessageScript &) = delete;
    MessageScript &operator=(const MessageScript &) = delete;

    // Answers for the next questions, in order (true = Yes).
    void queueAnswers(std::initializer_list<bool> answers);
    // The answer once the queue is empty; No unless set.
    void setDefaultAnswer(bool yes);
    // Called for every modal window; its return value is the window's result. Without a handler a
    // modal window is recorded and returns QDialog::Rejected.
    void setDialogHandler(DialogHandler handler);
    // Called for every message while it is open (before it is answered): what the user does
    // meanwhile, such as keys typed on before the box was read.
    void setMessageHandler(std::function<void(const ShownMessage &)> handler);

    // From now on message boxes are real QMessageBoxes, built and run as the program shows them, and
    // `whileOpen` is called for each once its own event loop runs: it works the box as a user would
    // (keys, clicks). A box it leaves open is closed with Esc's answer. Every box is recorded with
    // the answer the box gave. An empty function goes back to scripted answers.
    void setRealBoxes(std::function<void(QMessageBox *)> whileOpen);
    bool showsRealBoxes() const { return bool(realBoxHandler); }

    const QList<ShownMessage> &messages() const { return shown; }
    QStringList texts() const;
    // Object names (or, when empty, class names) of the modal windows opened, in order.
    const QStringList &dialogs() const { return opened; }
    int pendingAnswers() const { return int(answers.size()); }
    void clear();

    static MessageScript *active();

private:
    friend class MessageSeam;
    bool record(ShownMessage message);
    void workRealBox(QMessageBox *box);
    void recordAnswered(const ShownMessage &message);
    int runDialog(QDialog *dialog);

    QList<ShownMessage> shown;
    QStringList opened;
    QList<bool> answers;
    bool defaultAnswer = false;
    DialogHandler dialogHandler;
    std::function<void(const ShownMessage &)> messageHandler;
    std::function<void(QMessageBox *)> realBoxHandler;
    MessageScript *outer = nullptr;
};
