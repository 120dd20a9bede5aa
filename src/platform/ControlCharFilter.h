#pragma once
// Installed once on the application: every edit line (a QLineEdit, the edit line of an editable
// combo box, a list's cell editor) and every multi-line text box the program shows drops control
// characters other than tab and line breaks from what is typed, pasted or dropped into it, so the
// user sees the text that will be stored. A text the program puts into an edit line (a stored value
// shown, an item picked from a combo box's list) stays as stored, so that it finds its row again.
// A line that has a check of its own (a QValidator) keeps it: the dropping runs first, then that check.
#include <QObject>

class QCoreApplication;
class QWidget;

class ControlCharFilter : public QObject
{
    Q_OBJECT
public:
    // Installs the filter on the application; a second call does nothing.
    static void install(QCoreApplication *application);
    // Guards one editor at once (the filter does it when the editor is first shown or focused).
    // Anything else is left alone.
    static void guard(QWidget *editor);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit ControlCharFilter(QObject *parent) : QObject(parent) {}
};
