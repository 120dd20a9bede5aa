#pragma once
// Control characters in texts. A text the user types or pastes keeps tab and line breaks (CR, LF);
// every other control character (the C0 range, DEL and the C1 range) is dropped before it reaches
// a field's text. Texts are cleaned there, where they enter, and never where they are compared: a
// stored text that holds one is found by its own value.
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
