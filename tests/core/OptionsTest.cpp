#include "Database.h"
#include "Options.h"
#include "State.h"
#include "TestSupport.h"

using testsupport::LeagueTest;

using Preferences = LeagueTest;

TEST_F(Preferences, EmptyOptionsTableCreatesBothRows)
{
    dbMain->execute(QStringLiteral("DELETE FROM Options"));
    dRookie1 = 50;
    sHtmlExt = QStringLiteral("html");
    bUseStyle = false;
    LoadOptions();
    ASSERT_EQ(msgs->calls().size(), 1u);
    EXPECT_EQ(msgs->last(), QStringLiteral("Preferences record will be created with default values"));
    EXPECT_EQ(dRookie1, 0);
    EXPECT_EQ(dBC2, 16777215);
    EXPECT_EQ(dTFC, 16777215);
    EXPECT_EQ(dBB, 16777215);
    EXPECT_EQ(nTFS, 10);
    EXPECT_EQ(sBFN, QStringLiteral("Arial"));
    EXPECT_EQ(sHtmlExt, QStringLiteral("htm"));
    EXPECT_TRUE(bUseStyle);

    // The new row holds the defaults, with awards 0 rather than absent.
    EXPECT_EQ(dbMain->scalar(QStringLiteral("SELECT BC1 FROM Options WHERE Key = '1'")).toString(), QStringLiteral("16777215"));
    EXPECT_EQ(dbMain->scalar(QStringLiteral("SELECT TC FROM Options WHERE Key = '1'")).toLongLong(), 8388608);
    EXPECT_EQ(dbMain->scalar(QStringLiteral("SELECT COUNT(*) FROM Options WHERE Key = '1' AND Hard = 0 AND Rookie3 = 0")).toInt(), 1);
    EXPECT_EQ(dbMain->scalar(QStringLiteral("SELECT TFC FROM Options WHERE Key = '3'")).toString(), QStringLiteral("htm"));

    msgs->clear();
    LoadOptions();
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_EQ(dbMain->scalar(QStringLiteral("SELECT COUNT(*) FROM Options")).toInt(), 2);
}

TEST_F(Preferences, StoredValuesAndAbsentOnes)
{
    dbMain->execute(QStringLiteral("UPDATE Options SET BC1 = '255', BC2 = 'teal', TC = NULL, TFN = NULL, TFS = NULL, BFN = 'Verdana', "
                                   "BFS = 12, Lines = 1, Rookie1 = 12.5, Rookie2 = NULL, Pole = 100 WHERE Key = '1'"));
    dbMain->execute(QStringLiteral("UPDATE Options SET TFC = NULL, Lines = NULL WHERE Key = '3'"));
    LoadOptions();
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_EQ(dBC1, 255);
    EXPECT_EQ(dBC2, 16777215);
    EXPECT_EQ(dTC, 8388608);
    EXPECT_EQ(sTFN, QStringLiteral("Arial"));
    EXPECT_EQ(nTFS, 10);
    EXPECT_EQ(sBFN, QStringLiteral("Verdana"));
    EXPECT_EQ(nBFS, 12);
    EXPECT_TRUE(bLines);
    EXPECT_EQ(dRookie1, 12.5);
    EXPECT_EQ(dRookie2, 0);
    EXPECT_EQ(dPole, 100);
    EXPECT_EQ(sHtmlExt, QStringLiteral("htm"));
    EXPECT_TRUE(bUseStyle);

    dbMain->execute(QStringLiteral("UPDATE Options SET TFC = 'html', Lines = 0 WHERE Key = '3'"));
    LoadOptions();
    EXPECT_EQ(sHtmlExt, QStringLiteral("html"));
    EXPECT_FALSE(bUseStyle);
}

TEST_F(Preferences, MissingRowThreeIsCreatedSilently)
{
    dbMain->execute(QStringLiteral("DELETE FROM Options WHERE Key = '3'"));
    sHtmlExt = QStringLiteral("php");
    bUseStyle = false;
    LoadOptions();
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_EQ(sHtmlExt, QStringLiteral("htm"));
    EXPECT_TRUE(bUseStyle);
    EXPECT_EQ(dbMain->scalar(QStringLiteral("SELECT COUNT(*) FROM Options WHERE Key = '3' AND TFC = 'htm' AND Lines <> 0")).toInt(), 1);
}
