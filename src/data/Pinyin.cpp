#include "data/Pinyin.h"

#include "platform/Gbk.h"

namespace data {

namespace {
constexpr int kRowLength = 94;

// Half-width form of a GBK pair, or 0 when the pair has none.
char halfWidth(unsigned char lead, unsigned char trail)
{
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
        return static_cast<char>(trail - 0x80);
    if (lead == 0xA1) {
        switch (trail) {
        case 0xA1: return ' ';
        case 0xAB: return '~';
        case 0xEE:
        case 0xEF: return '*';
        default: break;
        }
    }
    return 0;
}

// Pinyin letter of a GB2312 hanzi pair, or 0 when it has none.
char letterOf(unsigned char lead, unsigned char trail)
{
    if (lead < 0xB0 || lead > 0xF7 || trail < 0xA1 || trail > 0xFE)
        return 0;
    const char letter = pinyinLetterTable()[(lead - 0xB0) * kRowLength + (trail - 0xA1)];
    return letter == ' ' ? 0 : letter;
}
} // namespace

QString toPinyinInitialsBytes(const QByteArray &gbk)
{
    QByteArray code;
    code.reserve(gbk.size());
    for (qsizetype i = 0; i < gbk.size(); ++i) {
        const auto lead = static_cast<unsigned char>(gbk[i]);
        if (lead < 0x80) {
            code += static_cast<char>(lead);
            continue;
        }
        if (i + 1 >= gbk.size())
            break; // a lead byte without its trail byte
        const auto trail = static_cast<unsigned char>(gbk[++i]);
        if (char c = halfWidth(lead, trail))
            code += c;
        else if (char c = letterOf(lead, trail))
            code += c;
    }
    return QString::fromLatin1(code);
}

QString toPinyinInitials(const QString &text)
{
    return toPinyinInitialsBytes(gbk::encode(text));
}

QString formatWeekday(int day)
{
    static const char16_t *const names[] = {u"星期日", u"星期一", u"星期二", u"星期三",
                                            u"星期四", u"星期五", u"星期六"};
    if (day < 1 || day > 7)
        return {};
    return QString::fromUtf16(names[day - 1]);
}

} // namespace data
