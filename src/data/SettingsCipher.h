#pragma once
#include <QString>

// The keyed stream cipher that keeps the values of sql.ini (and a few hidden texts) unreadable.
// It belongs to the RC4 family but is not standard RC4: the stored files only read back with
// exactly these steps. It is obfuscation for file compatibility, not security.
//
// Texts and keys are taken as their GBK bytes. Cipher text is hexadecimal, upper-case on output:
//   comma form: "4B,89,29,"  (two digits and a comma per byte, the last byte included)
//   bare form:  "4B8929"
class SettingsCipher
{
public:
    // The key of the settings file.
    static inline const QString SettingsKey = QStringLiteral("vuzo");

    // Enciphers the text; the result is in comma form, "" for an empty text.
    static QString rc4EncryptToHex(const QString &text, const QString &key);
    // The text with every "," removed (comma form -> bare form).
    static QString stripHexCommas(const QString &text);
    // Cuts the text into pairs of characters from its start and puts "," after each pair;
    // a last single character is dropped.
    static QString addHexCommas(const QString &text);
    // Deciphers hexadecimal text in either form: commas anywhere are ignored, digits are read in
    // pairs from the start, and a last single digit becomes a byte of its own.
    static QString rc4DecryptHex(const QString &hexText, const QString &key);
    // The value of a hexadecimal text as decimal text. Digits may be upper or lower case; any other
    // character counts as the digit 0. The value wraps at 64 bits (two's complement, signed).
    static QString hexToDecimalText(const QString &hexText);
};
