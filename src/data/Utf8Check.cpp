#include "data/Utf8Check.h"

#include <cstring>

namespace data {

// Whether the bytes are well-formed UTF-8 (the byte sequences of Unicode's table 3-7).
bool isUtf8(const unsigned char *s, qsizetype n)
{
    qsizetype i = 0;
    while (i < n) {
        // Plain ASCII eight bytes at a time.
        while (n - i >= 8) {
            quint64 word;
            std::memcpy(&word, s + i, 8);
            if (word & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= n)
            break;
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF)
            extra = 1;
        else if (c == 0xE0)
            extra = 2, low = 0xA0;
        else if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF)
            extra = 2;
        else if (c == 0xED)
            extra = 2, high = 0x9F;
        else if (c == 0xF0)
            extra = 3, low = 0x90;
        else if (c >= 0xF1 && c <= 0xF3)
            extra = 3;
        else if (c == 0xF4)
            extra = 3, high = 0x8F;
        else
            return false;
        if (n - i <= extra || s[i + 1] < low || s[i + 1] > high)
            return false;
        for (int k = 2; k <= extra; ++k)
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
        i += extra + 1;
    }
    return true;
}

} // namespace data
