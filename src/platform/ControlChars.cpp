#include "platform/ControlChars.h"

namespace controlchars {

namespace {

bool isControl(QChar c)
{
    return c.category() == QChar::Other_Control;
}

} // namespace

bool isRefused(QChar c)
{
    return isControl(c) && c != u'\t' && c != u'\n' && c != u'\r';
}

bool contains(const QString &text)
{
    for (const QChar c : text)
        if (isRefused(c))
            return true;
    return false;
}

QString removed(const QString &text)
{
    if (!contains(text))
        return text;
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (!isRefused(c))
            out += c;
    return out;
}

QString escaped(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && !isControl(text.at(i)))
        ++i;
    if (i == text.size())
        return text;
    QString out = text.left(i);
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isControl(c))
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

} // namespace controlchars
