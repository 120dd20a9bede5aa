#include "data/DigestUtil.h"

QString DigestUtil::byteToHex(int value)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    const int b = value & 0xFF;
    QString out(2, Qt::Uninitialized);
    out[0] = QLatin1Char(digits[b >> 4]);
    out[1] = QLatin1Char(digits[b & 15]);
    return out;
}
