#include "platform/Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace gbk {

namespace {
// Encodes one character (or surrogate pair); empty when GBK has no code for it.
QByteArray encodeOne(QStringView ch)
{
    QStringEncoder enc("GBK", QStringConverter::Flag::Stateless);
    QByteArray out = enc.encode(ch);
    if (enc.hasError())
        return {};
    // ICU substitutes 0x1A or '?' for what it cannot map; only a real '?' may give '?'.
    if (out.size() == 1 && (out[0] == '\x1a' || (out[0] == '?' && ch != u"?")))
        return {};
    return out;
}
} // namespace

QByteArray encode(const QString &text)
{
    QStringEncoder enc("GBK", QStringConverter::Flag::Stateless);
    QByteArray whole = enc.encode(text);
    // Fast path: pure ASCII or a clean conversion with no substitution possible.
    bool suspicious = enc.hasError() || whole.contains('\x1a');
    if (!suspicious) {
        int q = 0;
        for (QChar c : text)
            if (c == u'?')
                ++q;
        if (whole.count('?') == q)
            return whole;
    }
    QByteArray out;
    out.reserve(text.size() * 2);
    for (int i = 0; i < text.size(); ++i) {
        int len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        out += encodeOne(QStringView(text).mid(i, len));
        i += len - 1;
    }
    return out;
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder dec("GBK", QStringConverter::Flag::Stateless);
    return dec.decode(bytes);
}

int byteLength(const QString &text)
{
    return encode(text).size();
}

namespace {
// Byte offsets where characters start, for cutting at byte positions without halving a character.
QString cut(const QByteArray &bytes, int start, int end)
{
    // Walk the byte string character by character.
    QByteArray out;
    int i = 0;
    while (i < bytes.size()) {
        int len = (static_cast<unsigned char>(bytes[i]) >= 0x81 && i + 1 < bytes.size()) ? 2 : 1;
        if (i >= start && i + len <= end)
            out += bytes.mid(i, len);
        i += len;
    }
    return decode(out);
}
} // namespace

QString leftBytes(const QString &text, int n)
{
    if (n <= 0)
        return {};
    QByteArray b = encode(text);
    return cut(b, 0, n);
}

QString midBytes(const QString &text, int start, int n)
{
    QByteArray b = encode(text);
    int end = n < 0 ? b.size() : start + n;
    return cut(b, qMax(0, start), end);
}

int compare(const QString &a, const QString &b)
{
    QByteArray x = encode(a), y = encode(b);
    auto up = [](unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; };
    // Upper-case ASCII letters only, and only single-byte characters (a trail byte may look like a letter).
    auto norm = [&](QByteArray &s) {
        for (int i = 0; i < s.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(s[i]);
            if (c >= 0x81 && i + 1 < s.size()) {
                ++i;
                continue;
            }
            s[i] = static_cast<char>(up(c));
        }
    };
    norm(x);
    norm(y);
    int n = qMin(x.size(), y.size());
    for (int i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(x[i]), d = static_cast<unsigned char>(y[i]);
        if (c != d)
            return c < d ? -1 : 1;
    }
    return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

} // namespace gbk
