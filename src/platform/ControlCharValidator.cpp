#include "platform/ControlCharValidator.h"

#include "platform/ControlChars.h"

#include <QLineEdit>

ControlCharValidator::ControlCharValidator(const QValidator *inner, QObject *parent)
    : QValidator(parent), m_inner(inner)
{
}

QValidator::State ControlCharValidator::validate(QString &input, int &pos) const
{
    if (controlchars::contains(input) && typedOrPasted()) {
        int before = 0; // characters dropped in front of the caret
        for (int i = 0; i < pos && i < input.size(); ++i)
            if (controlchars::isRefused(input.at(i)))
                ++before;
        input = controlchars::removed(input);
        pos = qBound(0, pos - before, int(input.size()));
    }
    return m_inner ? m_inner->validate(input, pos) : Acceptable;
}

void ControlCharValidator::fixup(QString &input) const
{
    input = controlchars::removed(input);
    if (m_inner)
        m_inner->fixup(input);
}

bool ControlCharValidator::typedOrPasted() const
{
    // A line's text set by the program (a stored value shown, an item picked from a combo box's
    // list) starts the line's undo history afresh; whatever is typed, pasted or dropped in adds to
    // it. A text set so stays as stored, so that it finds its row again.
    const auto *line = qobject_cast<const QLineEdit *>(parent());
    return !line || line->isUndoAvailable();
}
