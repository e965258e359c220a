#include "Database.h"
#include "LookupControls.h"
#include "State.h"
#include "TestSupport.h"
#include "WindowDialogs.h"

#include <QComboBox>
#include <QLineEdit>

using testsupport::LeagueTest;

namespace {

class LookupControls : public LeagueTest {
protected:
    void SetUp() override
    {
        LeagueTest::SetUp();
        dbMain->execute(QStringLiteral("INSERT INTO Division VALUES ('O''K', 'Open''s Cup', 0, 1, 1, 2, 1, 1, 'earn.txt', 0, '', 7, "
                                       "'points.txt', 2)"));
        dbMain->execute(QStringLiteral("INSERT INTO Division VALUES ('AM', '  Amateurs ', 0, 0, 0, 0, 0, 0, '', 0, '', 1, '', 0)"));
    }
};

} // namespace

TEST_F(LookupControls, DivisionPickersHoldTheIdsAsItemData)
{
    QComboBox names;
    names.addItem(QStringLiteral("kept"), QStringLiteral("k"));
    FillDivisionNames(&names);
    ASSERT_EQ(names.count(), 3);
    const QStringList texts{QStringLiteral("kept"), QStringLiteral("  Amateurs "), QStringLiteral("Open's Cup")};
    const QStringList ids{QStringLiteral("k"), QStringLiteral("AM"), QStringLiteral("O'K")};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(names.itemText(i), texts[i]);
        EXPECT_EQ(names.itemData(i).toString(), ids[i]);
    }

    QComboBox combo;
    FillDivisionCombo(&combo);
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_EQ(combo.itemText(0), QStringLiteral("<Select Division>"));
    EXPECT_EQ(combo.itemText(1), QStringLiteral("AM - Amateurs"));
    EXPECT_EQ(combo.itemData(1).toString(), QStringLiteral("AM"));
    EXPECT_EQ(combo.itemText(2), QStringLiteral("O'K - Open's Cup"));
    EXPECT_EQ(combo.itemData(2).toString(), QStringLiteral("O'K"));

    dbMain->execute(QStringLiteral("DELETE FROM Division"));
    QComboBox empty;
    FillDivisionCombo(&empty);
    EXPECT_EQ(empty.count(), 1);
    EXPECT_EQ(empty.currentText(), QStringLiteral("<Select Division>"));
}

TEST_F(LookupControls, BrowseStnFileFillsBoxAndPath)
{
    QLineEdit box(QStringLiteral("old.html"));
    sStnPath = QStringLiteral("/somewhere/old.html");
    dlg::FileCall seen;
    dlg::SetFileHook([&](const dlg::FileCall& call) {
        seen = call;
        return QString();
    });
    EXPECT_FALSE(BrowseStnFile(nullptr, &box, program->file(QStringLiteral("STN"))));
    EXPECT_EQ(seen.fileName, QStringLiteral("old.html"));
    EXPECT_EQ(seen.startFolder, program->file(QStringLiteral("STN")));
    EXPECT_TRUE(seen.filter.contains(QStringLiteral("*.html")) && seen.filter.contains(QStringLiteral("*.htm")));
    EXPECT_EQ(box.text(), QStringLiteral("old.html"));
    EXPECT_EQ(sStnPath, QStringLiteral("/somewhere/old.html"));

    const QString chosen = program->file(QStringLiteral("STN/race 3.htm"));
    dlg::SetFileHook([&](const dlg::FileCall&) { return chosen; });
    QString pathWhenChanged;
    QObject::connect(&box, &QLineEdit::textChanged, [&] { pathWhenChanged = sStnPath; });
    EXPECT_TRUE(BrowseStnFile(nullptr, &box, QString()));
    dlg::SetFileHook({});
    EXPECT_EQ(box.text(), QStringLiteral("race 3.htm"));
    EXPECT_EQ(sStnPath, chosen);
    EXPECT_EQ(pathWhenChanged, chosen);
}
