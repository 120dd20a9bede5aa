#include "data/SettingsCipher.h"

#include "data/DigestUtil.h"
#include "platform/Gbk.h"

#include <array>
#include <utility>

namespace {

// Digit value of a hexadecimal character; anything else counts as 0.
int hexDigit(QChar ch)
{
    const char16_t c = ch.unicode();
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return 0;
}

// Sum of digit x 16^(digits after it), wrapping at 64 bits.
quint64 hexValue(QStringView hex)
{
    quint64 value = 0;
    for (QChar ch : hex)
        value = value * 16u + quint64(hexDigit(ch));
    return value;
}

// Key schedule and keystream of the settings cipher. The counters hold one more than the
// position they last selected, which is what makes this differ from standard RC4: the data
// position runs over 1, 3, 5, ..., 255, and every step after the first moves one further.
class KeyStream
{
public:
    explicit KeyStream(const QByteArray &key)
    {
        for (int n = 0; n < 256; ++n)
            s[n] = quint8(n);
        int c = 0;
        for (int n = 0; n < 256; ++n) {
            const int k = key.isEmpty() ? 0 : quint8(key.at(n % key.size()));
            const int p = (c + s[n] + k) % 256;
            std::swap(s[n], s[p]);
            c = p + 1;
        }
    }

    quint8 next()
    {
        a = ((a + 1) % 256) + 1;
        const int i = a - 1;
        c = ((c + s[i]) % 256) + 1;
        const int j = c - 1;
        std::swap(s[i], s[j]);
        return s[(s[i] + s[j]) % 256];
    }

private:
    std::array<quint8, 256> s{};
    int a = 0;
    int c = 0;
};

} // namespace

QString SettingsCipher::rc4EncryptToHex(const QString &text, const QString &key)
{
    const QByteArray bytes = gbk::encode(text);
    KeyStream stream(gbk::encode(key));
    QString out;
    out.reserve(bytes.size() * 3);
    for (char b : bytes) {
        out += DigestUtil::byteToHex(quint8(b) ^ stream.next());
        out += QLatin1Char(',');
    }
    return out;
}

QString SettingsCipher::stripHexCommas(const QString &text)
{
    QString out = text;
    out.remove(QLatin1Char(','));
    return out;
}

QString SettingsCipher::addHexCommas(const QString &text)
{
    const qsizetype pairs = text.size() / 2;
    QString out;
    out.reserve(pairs * 3);
    for (qsizetype n = 0; n < pairs; ++n) {
        out += QStringView(text).mid(n * 2, 2);
        out += QLatin1Char(',');
    }
    return out;
}

QString SettingsCipher::rc4DecryptHex(const QString &hexText, const QString &key)
{
    const QString digits = stripHexCommas(hexText);
    KeyStream stream(gbk::encode(key));
    QByteArray bytes;
    bytes.reserve((digits.size() + 1) / 2);
    for (qsizetype n = 0; n < digits.size(); n += 2) {
        const quint8 b = quint8(hexValue(QStringView(digits).mid(n, 2)) & 0xFF);
        bytes.append(char(b ^ stream.next()));
    }
    return gbk::decode(bytes);
}

QString SettingsCipher::hexToDecimalText(const QString &hexText)
{
    return QString::number(qint64(hexValue(hexText)));
}
