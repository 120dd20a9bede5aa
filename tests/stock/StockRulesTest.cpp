#include "stock/FormLists.h"
#include "stock/StockRules.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace stock;

namespace {

struct BarcodeCase {
    QDateTime time;
    const char *barcode;
};

TEST(GeneratedBarcode, FollowsTheClock)
{
    const BarcodeCase cases[] = {
        {QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)), "6983111485901"},
        {QDateTime(QDate(2015, 12, 25), QTime(9, 30, 7)), "6912258930883"},
        {QDateTime(QDate(2016, 3, 5), QTime(9, 0, 7)), "6983858980882"},
        // the added 1 carries the seconds 59 into 60
        {QDateTime(QDate(2015, 12, 31), QTime(23, 59, 59)), "6912312359605"},
    };
    for (const BarcodeCase &c : cases)
        EXPECT_EQ(generateItemBarcode(c.time), QString::fromLatin1(c.barcode)) << c.barcode;
}

TEST(StyleNumberTail, LongestNumericEnding)
{
    const std::pair<const char *, const char *> cases[] = {
        {"X2015001", "2015001"}, {"ABC100", "100"}, {"AB01234", "1234"}, {"A1B2", ""}, {"AB", ""},
        // no upper length limit: a long prefix still has its tail
        {"ABCDEFGH1001", "1001"}, {"ABCDEFGH1", ""}, {"春夏秋1001", "1001"},
        // a Chinese character is two bytes and is never halved
        {"款12", ""}, {"款号", ""}, {"100", "100"}, {"007", ""}, {"X0700", "700"},
    };
    for (const auto &[style, tail] : cases)
        EXPECT_EQ(styleNumberTail(QString::fromUtf8(style)), QString::fromUtf8(tail)) << style;
}

TEST(Quantity, OnlyWholeNumbersFromZeroOn)
{
    EXPECT_EQ(parseQuantity(QStringLiteral("3")), 3);
    EXPECT_EQ(parseQuantity(QStringLiteral(" 3 ")), 3);
    EXPECT_EQ(parseQuantity(QStringLiteral("３")), 3);
    EXPECT_EQ(parseQuantity(QStringLiteral("１２")), 12);
    EXPECT_EQ(parseQuantity(QString()), 0);
    EXPECT_EQ(parseQuantity(QStringLiteral("0")), 0);
    EXPECT_EQ(parseQuantity(QStringLiteral("+2")), 2);
    for (const char *bad : {"3.5", "2abc", "x", "3 4", "1e3", ".", "-1", "-2", "－１"})
        EXPECT_FALSE(parseQuantity(QString::fromUtf8(bad)).has_value()) << bad;
}

TEST(Price, MustBeANumber)
{
    EXPECT_EQ(parsePrice(QStringLiteral("199")), QStringLiteral("199"));
    EXPECT_EQ(parsePrice(QStringLiteral("12.50")), QStringLiteral("12.50"));
    EXPECT_EQ(parsePrice(QStringLiteral("１９９")), QStringLiteral("199"));
    for (const char *bad : {"", "abc", "12元", "1,5"})
        EXPECT_FALSE(parsePrice(QString::fromUtf8(bad)).has_value()) << bad;
}

TEST(DiscountedPrice, FloorOfTagTimesDiscount)
{
    EXPECT_EQ(computeDiscountedPrice(QStringLiteral("199"), QStringLiteral("0.8")), QStringLiteral("159"));
    // 0.7 * 100 lies just below 70 in binary: still 70
    EXPECT_EQ(computeDiscountedPrice(QStringLiteral("100"), QStringLiteral("0.7")), QStringLiteral("70"));
    EXPECT_EQ(computeDiscountedPrice(QStringLiteral("199"), QString()), QStringLiteral("0"));
}

TEST(Sizes, UpperCaseAsciiOnly)
{
    EXPECT_EQ(upperCaseSize(QStringLiteral("m/l")), QStringLiteral("M/L"));
    EXPECT_EQ(upperCaseSize(QStringLiteral("均码")), QStringLiteral("均码"));
    EXPECT_EQ(upperCaseSize(QStringLiteral("xl码")), QStringLiteral("XL码"));
}

TEST(StockValueForms, ZeroStockAndEditingGuardAreExactTexts)
{
    EXPECT_TRUE(isZeroStock(QStringLiteral("0")));
    EXPECT_FALSE(isZeroStock(QStringLiteral("00")));
    EXPECT_FALSE(isZeroStock(QStringLiteral("0.0")));
    EXPECT_TRUE(isEditable(QStringLiteral("0")));
    EXPECT_FALSE(isEditable(QStringLiteral("")));
    EXPECT_FALSE(isEditable(QStringLiteral("1")));
}

TEST(SearchKey, LowerCasedInitials)
{
    EXPECT_EQ(searchKeyOf(QStringLiteral("羽绒服")), QStringLiteral("yrf"));
    EXPECT_EQ(searchKeyOf(QStringLiteral("T恤,男")), QStringLiteral("tx,n"));
}

struct FilterCase {
    QStringList items;
    const char *typed;
    QStringList kept;
};

TEST(PinyinFilter, KeepsItemsInWhichTheTypedTextOccurs)
{
    const QStringList three = {QStringLiteral("红色"), QStringLiteral("黑色"), QStringLiteral("灰色")};
    const QStringList two = {QStringLiteral("红色"), QStringLiteral("白色")};
    const FilterCase cases[] = {
        {three, "h", three},
        {three, "hs", three},
        {three, "hu", {}},
        {two, "b", {QStringLiteral("白色")}},
        {two, "H", {QStringLiteral("红色")}},
        {two, "S", two},
        {two, "", two},
        // A typed character also stands for itself: a name, a name going on with initials.
        {three, "红色", {QStringLiteral("红色")}},
        {{QStringLiteral("红色"), QStringLiteral("红色条纹"), QStringLiteral("黑色条纹")}, "红色t", {QStringLiteral("红色条纹")}},
        {{QStringLiteral("红色"), QStringLiteral("红色条纹")}, "红st", {QStringLiteral("红色条纹")}},
        {three, "红色条", {}},
        {three, "色h", {}},
        // Characters the initials drop are passed over inside a match, as in the initials.
        {{QStringLiteral("红·色"), QStringLiteral("白")}, "hs", {QStringLiteral("红·色")}},
        {{QStringLiteral("ＸＬ码")}, "xl", {QStringLiteral("ＸＬ码")}},
    };
    for (const FilterCase &c : cases)
        EXPECT_EQ(filterByInitials(c.items, QString::fromUtf8(c.typed)), c.kept) << c.typed;
}

} // namespace
