#pragma once
#include <QString>

// Hexadecimal helper used by the settings cipher.
class DigestUtil
{
public:
    // Two upper-case hexadecimal digits for a byte value, high half first ("0F", "A5").
    // Only the low eight bits of the value count.
    static QString byteToHex(int value);
};
