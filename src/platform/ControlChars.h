#pragma once
// Control characters in texts. A text the user types or pastes keeps tab and line breaks (CR, LF);
// every other control character (the C0 range, DEL and the C1 range) is dropped before it reaches
// a field's text, and the data layer drops them (logged) from a bound text that still holds one, so
// both backends store the same texts (PostgreSQL cannot store a NUL at all).
#include <QString>

namespace controlchars {

// True for a control character a stored text may not hold: any of Unicode's control characters
// except tab, CR and LF.
bool isRefused(QChar c);
// True when the text holds such a character.
bool contains(const QString &text);
// The text without such characters.
QString removed(const QString &text);
// The text with every control character (tab and line breaks included) written as \xHH, for the
// log: one entry stays one line, and nothing unprintable reaches the file.
QString escaped(const QString &text);

} // namespace controlchars
