// The amount box shows its display format unless it is being edited.

#include "MaskEdBox.h"

#include <QApplication>
#include <QFocusEvent>

#include <gtest/gtest.h>

TEST(MaskEdBox, ShowsTheFormatOutsideEditingAndThePlainNumberInside)
{
    MaskEdBox box;
    box.setFormat(QStringLiteral("$#,##0.00;($#,##0.00)"));
    box.setText(QStringLiteral("1234.5"));
    EXPECT_EQ(box.QLineEdit::text(), QStringLiteral("$1,234.50"));
    EXPECT_EQ(box.Text(), QStringLiteral("1234.5"));

    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(&box, &in);
    EXPECT_EQ(box.QLineEdit::text(), QStringLiteral("1234.5"));
    box.selectAll();
    box.insert(QStringLiteral("-12"));
    emit box.textEdited(box.QLineEdit::text());
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(&box, &out);
    EXPECT_EQ(box.QLineEdit::text(), QStringLiteral("($12.00)"));
    double v = 0;
    ASSERT_TRUE(box.Value(v));
    EXPECT_EQ(v, -12);

    box.setText(QStringLiteral("junk"));
    EXPECT_EQ(box.QLineEdit::text(), QStringLiteral("junk"));
    EXPECT_FALSE(box.Value(v));
}

TEST(MaskEdBox, MoneyAmountsReadAsTypedOrAsDisplayed)
{
    double v = -1;
    EXPECT_TRUE(rt::ParseMoney(QStringLiteral("1234.5"), v));
    EXPECT_EQ(v, 1234.5);
    EXPECT_TRUE(rt::ParseMoney(QStringLiteral(" $1,000.00 "), v));
    EXPECT_EQ(v, 1000);
    EXPECT_TRUE(rt::ParseMoney(QStringLiteral("($12.00)"), v));
    EXPECT_EQ(v, -12);
    EXPECT_TRUE(rt::ParseMoney(QStringLiteral("-12"), v));
    EXPECT_EQ(v, -12);
    EXPECT_TRUE(rt::ParseMoney(QStringLiteral("$1,234,567.89"), v));
    EXPECT_EQ(v, 1234567.89);
    EXPECT_TRUE(rt::ParseMoney(QString(), v));
    EXPECT_EQ(v, 0);
    for (const char* bad : {"abc", "12a", "1,00", "$", "()", "--1", "1e5", "1.2.3", "inf", "99999999999999999"})
        EXPECT_FALSE(rt::ParseMoney(QString::fromLatin1(bad), v)) << bad;
}

TEST(MaskEdBox, CommasAfterThePointAreRefused)
{
    double v = -1;
    for (const char* bad : {"1,000.5,5", "1,000.,5", "$1,000.00,", "1000.5,5"})
        EXPECT_FALSE(rt::ParseMoney(QString::fromLatin1(bad), v)) << bad;
    MaskEdBox box;
    box.setText(QStringLiteral("1,000.5,5"));
    EXPECT_FALSE(box.Value(v));
    EXPECT_TRUE(rt::ParseMoney(QStringLiteral("1,000.55"), v));
    EXPECT_EQ(v, 1000.55);
}
