#include "Lookups.h"
#include "TextLayout.h"

#include <gtest/gtest.h>

TEST(TextLayout, PadRightTrimsPadsAndCuts)
{
    EXPECT_EQ(PadRight(QStringLiteral("  word  "), 6), QStringLiteral("word  "));
    EXPECT_EQ(PadRight(QString(), 30), QString(30, QLatin1Char(' ')));
    EXPECT_EQ(PadRight(QStringLiteral("abc"), 30.4).size(), 30);
    EXPECT_EQ(PadRight(QStringLiteral("abc"), 4.6), QStringLiteral("abc  "));
    EXPECT_EQ(PadRight(QStringLiteral("Longer than the field"), 6), QStringLiteral("Longer"));
    // Only blanks are trimmed.
    EXPECT_EQ(PadRight(QStringLiteral("\tx"), 3), QStringLiteral("\tx "));
}

TEST(TextLayout, AlignRightKeepsTheLastCharacters)
{
    EXPECT_EQ(AlignRight(5, 5), QStringLiteral("    5"));
    EXPECT_EQ(AlignRight(12.5, 3), QStringLiteral("2.5"));
    EXPECT_EQ(AlignRight(12345, 3), QStringLiteral("345"));
    EXPECT_EQ(AlignRight(-3.25, 6), QStringLiteral(" -3.25"));
    // Single precision: seven significant digits, no binary noise.
    EXPECT_EQ(AlignRight(0.1, 4), QStringLiteral(" 0.1"));
    EXPECT_EQ(AlignRight(1234.56789, 8), QStringLiteral("1234.568"));
    EXPECT_EQ(AlignRight(123456789, 12), QStringLiteral("1.234568E+08"));
}

TEST(TextLayout, ZeroPadFillsFromTheLeft)
{
    EXPECT_EQ(ZeroPad(QStringLiteral(" 3 "), 3), QStringLiteral("003"));
    EXPECT_EQ(ZeroPad(QStringLiteral("7"), 3), QStringLiteral("007"));
    EXPECT_EQ(ZeroPad(QStringLiteral("12"), 3), QStringLiteral("012"));
    EXPECT_EQ(ZeroPad(QStringLiteral("1234"), 3), QStringLiteral("234"));
    EXPECT_EQ(ZeroPad(QStringLiteral("5"), 20), QStringLiteral("00000000005"));
}

TEST(TextLayout, HTMLColorWritesRedGreenBlue)
{
    EXPECT_EQ(HTMLColor(16777215), QStringLiteral("#FFFFFF"));
    EXPECT_EQ(HTMLColor(8388608), QStringLiteral("#000080"));
    EXPECT_EQ(HTMLColor(255), QStringLiteral("#FF0000"));
    EXPECT_EQ(HTMLColor(0), QStringLiteral("#000000"));
    EXPECT_EQ(HTMLColor(10 + 11 * 256 + 12 * 65536), QStringLiteral("#0A0B0C"));
}

TEST(TextLayout, ValuesChangedComparesTrimmedTexts)
{
    const QVariantList saved{QStringLiteral("Alpha"), QStringLiteral(" 12 "), QVariant(), QStringLiteral("x")};
    EXPECT_FALSE(ValuesChanged(saved, {QStringLiteral("Alpha  "), QStringLiteral("12"), QStringLiteral("any"), QStringLiteral("x")}, 3));
    EXPECT_TRUE(ValuesChanged(saved, {QStringLiteral("alpha"), QStringLiteral("12"), QString(), QStringLiteral("x")}, 3));
    // Index 3 differs but only 0..2 are compared.
    EXPECT_FALSE(ValuesChanged(saved, {QStringLiteral("Alpha"), QStringLiteral("12"), QString(), QStringLiteral("y")}, 2));
    EXPECT_TRUE(ValuesChanged(saved, {QStringLiteral("Alpha"), QStringLiteral("12"), QString(), QStringLiteral("y")}, 3));
}

TEST(Brands, AddBrandTakesSlotsInFinishingOrder)
{
    BrandSlots s;
    EXPECT_EQ(AddBrand(s, QStringLiteral("A")), 0);
    EXPECT_EQ(AddBrand(s, QStringLiteral("B")), 1);
    EXPECT_EQ(AddBrand(s, QStringLiteral("A")), 0);
    EXPECT_EQ(AddBrand(s, QStringLiteral("C")), 2);
    EXPECT_EQ(AddBrand(s, QStringLiteral("   ")), 0);
    EXPECT_EQ(AddBrand(s, QStringLiteral("c")), 3);   // letter case counts
    EXPECT_EQ(AddBrand(s, QStringLiteral("D")), 4);
    EXPECT_EQ(AddBrand(s, QStringLiteral("E")), 5);
    EXPECT_EQ(s, (BrandSlots{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("c"), QStringLiteral("D")}));
    EXPECT_EQ(AddBrand(s, QStringLiteral("D")), 4);

    EXPECT_EQ(MfgPoints(0), 9);
    EXPECT_EQ(MfgPoints(1), 6);
    EXPECT_EQ(MfgPoints(2), 4);
    EXPECT_EQ(MfgPoints(3), 2);
    EXPECT_EQ(MfgPoints(4), 1);
    EXPECT_EQ(MfgPoints(5), 0);
    EXPECT_EQ(MfgPoints(-1), 0);
}
