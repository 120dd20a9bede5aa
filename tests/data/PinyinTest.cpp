#include "data/Pinyin.h"
#include "platform/Gbk.h"

#include <QCryptographicHash>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

struct CodeCase {
    const char *label;
    QString text;   // converted with toPinyinInitials when raw is null
    QByteArray raw; // otherwise these GBK bytes go to toPinyinInitialsBytes
    QString code;
};

QByteArray bytes(std::initializer_list<unsigned char> list)
{
    QByteArray out;
    for (unsigned char b : list)
        out += static_cast<char>(b);
    return out;
}

} // namespace

TEST(Pinyin, SearchCodes)
{
    const CodeCase cases[] = {
        {"empty", QString(), {}, QString()},
        {"full-width ASCII, ASCII case kept", u"Ａ１长袖T恤"_qs, {}, u"A1cxTx"_qs},
        {"yrf", u"羽绒服"_qs, {}, u"yrf"_qs},
        {"nzk", u"牛仔裤"_qs, {}, u"nzk"_qs},
        {"hs", u"红色"_qs, {}, u"hs"_qs},
        {"yx", u"银行"_qs, {}, u"yx"_qs},
        {"trailing ASCII", u"白色XL"_qs, {}, u"bsXL"_qs},
        {"syllable without initial a", u"安踏"_qs, {}, u"at"_qs},
        {"syllable without initial e", u"儿童"_qs, {}, u"et"_qs},
        {"syllable without initial o", u"欧式"_qs, {}, u"os"_qs},
        {"full-width brackets", u"（男）"_qs, {}, u"(n)"_qs},
        {"symbol and radical form vanish", u"。氵"_qs, {}, QString()},
        {"polyphonic 长 重 行 乐", u"长重行乐"_qs, {}, u"czxl"_qs},
        {"level-2 hanzi", u"丐"_qs, {}, u"g"_qs},
        {"first and last entries", u"啊齄"_qs, {}, u"az"_qs},
        {"yuan sign", u"￥5"_qs, {}, u"$5"_qs},
        {"stars", u"★☆"_qs, {}, u"**"_qs},
        {"ideographic space and tilde", u"红　～"_qs, {}, u"h ~"_qs},
        {"emoji dropped", u"a😀b"_qs, {}, u"ab"_qs},
        {"lone lead byte at the end", {}, QByteArray("abc") + bytes({0xB0}), u"abc"_qs},
        {"GBK pair outside GB2312", {}, bytes({0x81, 0x40}) + "x", u"x"_qs},
        {"unassigned D7FA-D7FE", {}, bytes({0xD7, 0xFA, 0xD7, 0xFB, 0xD7, 0xFC, 0xD7, 0xFD, 0xD7, 0xFE}),
         QString()},
        {"trail below 0xA1 in a hanzi row", {}, bytes({0xB0, 0x40, 0xB0, 0xA1}), u"a"_qs},
    };
    for (const CodeCase &c : cases) {
        SCOPED_TRACE(c.label);
        const QString got = c.raw.isNull() ? data::toPinyinInitials(c.text) : data::toPinyinInitialsBytes(c.raw);
        EXPECT_EQ(got, c.code);
    }
}

TEST(Pinyin, RadicalFormsHaveNoLetter)
{
    const QStringList radicals = u"丶 匚 刂 冂 亻 勹 亠 冫 冖 讠 卩 阝 廴 凵 艹 廾 扌 呒 彡 犭 夂 饣 忄 丬 氵 宀 辶 彐 "
                                 u"屮 纟 攵 灬 礻 肀 钅 疒 衤 虍"_qs.split(u' ');
    ASSERT_EQ(radicals.size(), 38);
    for (const QString &r : radicals) {
        SCOPED_TRACE(r.toStdString());
        EXPECT_EQ(gbk::encode(r).size(), 2);
        EXPECT_EQ(data::toPinyinInitials(r), QString());
    }
}

TEST(Pinyin, TableHoldsOnlyPinyinLettersAndItsChecksum)
{
    const QByteArrayView table = data::pinyinLetterTable();
    ASSERT_EQ(table.size(), 72 * 94);
    int blanks = 0;
    for (char c : table) {
        if (c == ' ')
            ++blanks;
        else
            EXPECT_TRUE(c >= 'a' && c <= 'z' && c != 'i' && c != 'u' && c != 'v') << c;
    }
    EXPECT_EQ(blanks, 43);
    // Printed by tools/gen_pinyin_table.py; regenerate the table rather than editing it.
    EXPECT_EQ(QCryptographicHash::hash(table, QCryptographicHash::Sha256).toHex(),
              QByteArray("c3bb452a0774c75c58e3d6140852122f242aa330f73fb923a402214ce8357a94"));
}

TEST(Weekday, NamesOneToSevenAndNothingElse)
{
    EXPECT_EQ(data::formatWeekday(1), u"星期日"_qs);
    EXPECT_EQ(data::formatWeekday(2), u"星期一"_qs);
    EXPECT_EQ(data::formatWeekday(7), u"星期六"_qs);
    EXPECT_EQ(data::formatWeekday(0), QString());
    EXPECT_EQ(data::formatWeekday(8), QString());
}
