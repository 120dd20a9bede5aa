#include "data/NativeRows.h"

namespace data {

bool NativeRows::isSelect(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (!trimmed.startsWith(QLatin1String("select"), Qt::CaseInsensitive))
        return false;
    // One statement only: a second one after a semicolon is left to the driver.
    bool quoted = false;
    QChar quote;
    for (const QChar ch : trimmed) {
        if (quoted) {
            if (ch == quote)
                quoted = false;
        } else if (ch == QLatin1Char('\'') || ch == QLatin1Char('"')) {
            quoted = true;
            quote = ch;
        } else if (ch == QLatin1Char(';')) {
            return false;
        }
    }
    return true;
}

} // namespace data
