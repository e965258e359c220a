#include "ControlTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

TEST(ControlTexts, ControlsChangedReadsEveryKindOfControl)
{
    QLineEdit edit(QStringLiteral("Smith"));
    QComboBox combo;
    combo.addItems({QStringLiteral("One"), QStringLiteral("Two")});
    QCheckBox check;
    QSpinBox spin;
    spin.setValue(4);
    QPlainTextEdit memo(QStringLiteral("note"));
    const QList<QWidget*> controls{&edit, &combo, &check, &spin, &memo};
    const QVariantList saved = SaveControlTexts(controls);
    EXPECT_EQ(saved, (QVariantList{QStringLiteral("Smith"), QStringLiteral("One"), QStringLiteral("0"), QStringLiteral("4"), QStringLiteral("note")}));
    EXPECT_FALSE(ControlsChanged(controls, saved, 4));

    edit.setText(QStringLiteral("  Smith "));
    EXPECT_FALSE(ControlsChanged(controls, saved, 4));
    edit.setText(QStringLiteral("smith"));
    EXPECT_TRUE(ControlsChanged(controls, saved, 4));
    edit.setText(QStringLiteral("Smith"));

    check.setChecked(true);
    EXPECT_TRUE(ControlsChanged(controls, saved, 4));
    EXPECT_FALSE(ControlsChanged(controls, saved, 1));
    check.setChecked(false);

    combo.setCurrentIndex(1);
    spin.setValue(5);
    memo.setPlainText(QStringLiteral("other"));
    EXPECT_TRUE(ControlsChanged(controls, saved, 1));
    // A saved value that is absent never counts as a change.
    QVariantList partly = saved;
    partly[1] = QVariant();
    partly[3] = QVariant();
    partly[4] = QVariant();
    EXPECT_FALSE(ControlsChanged(controls, partly, 4));
}
