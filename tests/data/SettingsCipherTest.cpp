#include "data/DigestUtil.h"
#include "data/SettingsCipher.h"
#include "platform/Gbk.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

QString bare(const QString &text, const QString &key = SettingsCipher::SettingsKey)
{
    return SettingsCipher::stripHexCommas(SettingsCipher::rc4EncryptToHex(text, key));
}

// Standard RC4, only to show that the settings cipher is a different one.
QByteArray textbookRc4(const QByteArray &data, const QByteArray &key)
{
    int s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = i;
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + quint8(key[i % key.size()])) % 256;
        std::swap(s[i], s[j]);
    }
    QByteArray out;
    for (int n = 0, i = 0, j = 0; n < data.size(); ++n) {
        i = (i + 1) % 256;
        j = (j + s[i]) % 256;
        std::swap(s[i], s[j]);
        out.append(char(quint8(data[n]) ^ s[(s[i] + s[j]) % 256]));
    }
    return out;
}

} // namespace

TEST(SettingsCipher, EnciphersToTheStoredBytesAndBack)
{
    struct Case { const char *plain, *cipher; };
    const Case cases[] = {
        {"单机版", "4B8929BC7A38"}, {"网络版", "33D450A17A38"}, {"1433", "CF18A175"},
        {"sa", "8D4D"}, {"A", "BF"}, {"127.0.0.1", "CF1EA568FAF01C8821"},
    };
    for (const Case &c : cases) {
        const QString plain = QString::fromUtf8(c.plain);
        const QString cipher = QString::fromLatin1(c.cipher);
        EXPECT_EQ(bare(plain), cipher) << c.plain;
        EXPECT_EQ(SettingsCipher::rc4DecryptHex(cipher, SettingsCipher::SettingsKey), plain) << c.plain;
    }
}

TEST(SettingsCipher, CommaFormHasTwoDigitsAndACommaPerByte)
{
    EXPECT_EQ(SettingsCipher::rc4EncryptToHex(QStringLiteral("总店"), SettingsCipher::SettingsKey),
              QStringLiteral("29,F0,27,AC,"));
    // One double-byte character: four digits and two commas.
    const QString one = SettingsCipher::rc4EncryptToHex(QStringLiteral("店"), SettingsCipher::SettingsKey);
    EXPECT_EQ(one.size(), 6);
    EXPECT_EQ(one.count(QLatin1Char(',')), 2);
    EXPECT_TRUE(one.endsWith(QLatin1Char(',')));
}

TEST(SettingsCipher, IsNotTextbookRc4)
{
    const QByteArray plain = gbk::encode(QStringLiteral("单机版"));
    const QString textbook = QString::fromLatin1(textbookRc4(plain, "vuzo").toHex().toUpper());
    EXPECT_EQ(textbook, QStringLiteral("CE0D97ABA78B"));
    EXPECT_NE(bare(QStringLiteral("单机版")), textbook);
}

TEST(SettingsCipher, SameTextAndKeyAlwaysGiveTheSameCipherText)
{
    const QString first = SettingsCipher::rc4EncryptToHex(QStringLiteral("旗舰店"), SettingsCipher::SettingsKey);
    EXPECT_EQ(SettingsCipher::rc4EncryptToHex(QStringLiteral("旗舰店"), SettingsCipher::SettingsKey), first);
}

TEST(SettingsCipher, EmptyTextsStayEmpty)
{
    EXPECT_EQ(SettingsCipher::rc4EncryptToHex(QString(), SettingsCipher::SettingsKey), QString());
    for (const char *hex : {"", ",", ",,,"})
        EXPECT_EQ(SettingsCipher::rc4DecryptHex(QString::fromLatin1(hex), SettingsCipher::SettingsKey), QString())
            << hex;
}

TEST(SettingsCipher, AllHexFormsDecipherAlike)
{
    const QString key = SettingsCipher::SettingsKey;
    const QString plain = QStringLiteral("总店");
    const QString comma = QStringLiteral("29,F0,27,AC,");
    const QString shifted = SettingsCipher::addHexCommas(comma);
    EXPECT_EQ(shifted, QStringLiteral("29,,F,0,,27,,A,C,,"));
    for (const QString &form : {QStringLiteral("29F027AC"), comma, shifted, QStringLiteral("29f027ac"),
                                QStringLiteral("29,f0,27,ac,"), QStringLiteral(",29F,027,AC")})
        EXPECT_EQ(SettingsCipher::rc4DecryptHex(form, key), plain) << form.toStdString();
}

TEST(SettingsCipher, LastOddDigitBecomesAByteOfItsOwn)
{
    // "BF" is "A"; the lone "5" is the byte 0x05 combined with the second keystream byte.
    EXPECT_EQ(SettingsCipher::rc4DecryptHex(QStringLiteral("BF5"), SettingsCipher::SettingsKey), QStringLiteral("A)"));
    // The settings reader cuts pairs first, so the lone digit is dropped.
    EXPECT_EQ(SettingsCipher::rc4DecryptHex(SettingsCipher::addHexCommas(QStringLiteral("BF5")),
                                            SettingsCipher::SettingsKey),
              QStringLiteral("A"));
}

TEST(SettingsCipher, NonHexCharactersCountAsTheDigitZero)
{
    const QString key = SettingsCipher::SettingsKey;
    EXPECT_EQ(SettingsCipher::rc4DecryptHex(QStringLiteral("GZ"), key),
              SettingsCipher::rc4DecryptHex(QStringLiteral("00"), key));
    EXPECT_EQ(SettingsCipher::rc4DecryptHex(QStringLiteral("xF"), key), SettingsCipher::rc4DecryptHex(QStringLiteral("0F"), key));
    EXPECT_EQ(SettingsCipher::rc4DecryptHex(QStringLiteral("B?"), key), SettingsCipher::rc4DecryptHex(QStringLiteral("B0"), key));
}

TEST(SettingsCipher, EmptyKeyIsAKeyOfZeroBytes)
{
    EXPECT_EQ(bare(QStringLiteral("单机版"), QString()), QStringLiteral("A42ED18D097A"));
    EXPECT_EQ(bare(QStringLiteral("A"), QString()), QStringLiteral("50"));
    EXPECT_EQ(SettingsCipher::rc4DecryptHex(QStringLiteral("A42ED18D097A"), QString()), QStringLiteral("单机版"));
}

TEST(SettingsCipher, OnlyTheFirst256KeyBytesCount)
{
    QString longKey;
    for (int n = 0; n < 300; ++n)
        longKey += QLatin1Char(char('a' + n % 26));
    // Position 255 holds 'v', position 0 holds 'a': a 255-byte key repeats differently.
    const QString text = QStringLiteral("127.0.0.1 旗舰店");
    EXPECT_EQ(bare(text, longKey), bare(text, longKey.left(256)));
    EXPECT_NE(bare(text, longKey), bare(text, longKey.left(255)));
    EXPECT_EQ(SettingsCipher::rc4DecryptHex(bare(text, longKey), longKey.left(256)), text);
}

TEST(SettingsCipher, RoundTripsAsciiAndGbkTexts)
{
    for (const QString &text : {QStringLiteral("127.0.0.1"), QStringLiteral("p@ss'w0rd,=;"), QStringLiteral("旗舰店"),
                                QStringLiteral("T恤 XL 一号店"), QStringLiteral("单机版")}) {
        const QString comma = SettingsCipher::rc4EncryptToHex(text, SettingsCipher::SettingsKey);
        EXPECT_EQ(comma.size(), gbk::byteLength(text) * 3);
        EXPECT_EQ(SettingsCipher::rc4DecryptHex(comma, SettingsCipher::SettingsKey), text);
        EXPECT_EQ(SettingsCipher::rc4DecryptHex(SettingsCipher::addHexCommas(SettingsCipher::stripHexCommas(comma)),
                                                SettingsCipher::SettingsKey),
                  text);
    }
}

TEST(SettingsCipher, CommaHelpers)
{
    struct Case { const char *in, *stripped, *paired; };
    for (const Case &c : {Case{"", "", ""}, Case{"A", "A", ""}, Case{"ABCDE", "ABCDE", "AB,CD,"},
                          Case{"4B,89,", "4B89", "4B,,8,9,,"}, Case{",,", "", ",,,"}}) {
        EXPECT_EQ(SettingsCipher::stripHexCommas(QString::fromLatin1(c.in)), QString::fromLatin1(c.stripped)) << c.in;
        EXPECT_EQ(SettingsCipher::addHexCommas(QString::fromLatin1(c.in)), QString::fromLatin1(c.paired)) << c.in;
    }
}

TEST(SettingsCipher, HexToDecimalText)
{
    struct Case { const char *hex, *decimal; };
    for (const Case &c : {Case{"", "0"}, Case{"0", "0"}, Case{"FF", "255"}, Case{"ff", "255"}, Case{"1A2b", "6699"},
                          Case{"G1", "1"}, Case{"7FFFFFFFFFFFFFFF", "9223372036854775807"},
                          Case{"FFFFFFFFFFFFFFFF", "-1"}, Case{"10000000000000000", "0"}})
        EXPECT_EQ(SettingsCipher::hexToDecimalText(QString::fromLatin1(c.hex)), QString::fromLatin1(c.decimal)) << c.hex;
}

TEST(DigestUtil, ByteToHexIsTwoUpperCaseDigits)
{
    struct Case { int value; const char *hex; };
    for (const Case &c : {Case{0, "00"}, Case{9, "09"}, Case{10, "0A"}, Case{0x4B, "4B"}, Case{171, "AB"}, Case{255, "FF"}})
        EXPECT_EQ(DigestUtil::byteToHex(c.value), QString::fromLatin1(c.hex)) << c.value;
}
