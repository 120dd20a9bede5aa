#include "platform/ControlCharValidator.h"

#include "platform/ControlChars.h"

ControlCharValidator::ControlCharValidator(const QValidator *inner, QObject *parent)
    : QValidator(parent), m_inner(inner)
{
}

QValidator::State ControlCharValidator::validate(QString &input, int &pos) const
{
    if (controlchars::contains(input)) {
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
