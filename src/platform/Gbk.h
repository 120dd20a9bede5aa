#pragma once
// GBK is where bytes matter: settings files, the settings cipher, pinyin initials,
// byte-length limits and byte-position cuts, and the sort order of text columns.
// Inside the program every text is a QString.
#include <QByteArray>
#include <QString>

namespace gbk {

// Encodes text as GBK. A character GBK cannot encode is dropped (never turned into "?").
QByteArray encode(const QString &text);
// Decodes GBK bytes; an invalid sequence becomes U+FFFD.
QString decode(const QByteArray &bytes);
// Number of GBK bytes of the text (characters GBK cannot encode count 0).
int byteLength(const QString &text);
// The first n GBK bytes, never splitting a double-byte character (a half character is dropped).
QString leftBytes(const QString &text, int n);
// Bytes [start, start+n) counted from 0, never splitting a character; n < 0 means to the end.
QString midBytes(const QString &text, int start, int n = -1);
// Compares two texts as the lists do: ASCII letters upper-cased, then GBK bytes unsigned.
int compare(const QString &a, const QString &b);

} // namespace gbk
