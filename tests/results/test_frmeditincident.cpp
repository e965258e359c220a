// The penalty editor on the race result window's adjustments grid.
#include "EditingFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include <random>

using namespace raceresult;

namespace {

class IncidentTest : public EditingTest {
protected:
    static QPlainTextEdit* Comment(QWidget& d) { return d.findChild<QPlainTextEdit*>(QStringLiteral("Text1(3)")); }
    // Opens the line at grid row `row`, sets points and comment, presses OK.
    void Give(int row, const QString& points, const QString& comment = QStringLiteral("Rough driving"))
    {
        onIncident = [=](frmEditIncident& d) {
            Text1(d, 2)->setText(points);
            Comment(d)->setPlainText(comment);
            Button(d, "cmdUpdate")->click();
        };
        DoubleClick(9, row);
    }
    // Types text as one key stroke, as a keyboard gives a character that
    // UTF-16 writes in two units.
    static void Type(QWidget* box, const QString& text)
    {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QApplication::sendEvent(box, &key);
    }
    static void Key(QWidget* box, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(box, Qt::Key(key), mods); }
    static void PlaceCursor(QPlainTextEdit* box, int at)
    {
        QTextCursor c = box->textCursor();
        c.setPosition(at);
        box->setTextCursor(c);
    }
    // Written past the layer, which holds new texts to the column's width.
    static void Store(int posi, const QString& comment)
    {
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(dbMain->handle(), "UPDATE Penalties SET Comment = ?1 WHERE RaceID = 40000 AND Posi = ?2", -1, &st, nullptr),
                  SQLITE_OK);
        const QByteArray text = comment.toUtf8();
        sqlite3_bind_text(st, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 2, posi);
        EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
        sqlite3_finalize(st);
    }
    static QVariant Penalty(int posi, const char* column)
    {
        return dbMain->scalar(QStringLiteral("SELECT ") + QString::fromLatin1(column)
                              + QStringLiteral(" FROM Penalties WHERE Division = 'D1' AND RaceID = 40000 AND Posi = ")
                              + QString::number(posi));
    }
};

} // namespace

TEST_F(IncidentTest, APenaltyGivenChangedAndRemovedLeavesThePointsWhereTheyStarted)
{
    ASSERT_EQ(Line(3, "Points").toInt(), 165);
    QStringList shown;
    onIncident = [&](frmEditIncident& d) {
        shown << Text1(d, 0)->text() << Text1(d, 1)->text() << Text1(d, 2)->text() << Comment(d)->toPlainText();
        EXPECT_TRUE(Text1(d, 0)->isReadOnly());
        EXPECT_TRUE(Text1(d, 1)->isReadOnly());
        EXPECT_FALSE(bEditMode);   // no adjustment yet
        Text1(d, 2)->setText(QStringLiteral("-5"));
        Comment(d)->setPlainText(QStringLiteral("Wrecked O'Neil \u2014 caus\u00e9"));
        Button(d, "cmdUpdate")->click();
    };
    bEditMode = true;
    DoubleClick(9, 3);
    EXPECT_EQ(shown, (QStringList{"3", "Name not found      ", "0", ""}));
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(Penalty(3, "Points").toInt(), -5);
    EXPECT_EQ(Penalty(3, "Comment").toString(), QStringLiteral("Wrecked O'Neil \u2014 caus\u00e9"));
    EXPECT_EQ(Line(3, "Points").toInt(), 160);
    EXPECT_EQ(w->Grid(9)->TextMatrix(3, 0), QStringLiteral("3   #***  Name not found           -5   Wrecked O'Neil \u2014 caus\u00e9"));
    EXPECT_EQ(rt::Mid(w->Grid(1)->TextMatrix(3, 0), 65, 4), QStringLiteral(" 160"));

    // Reopened: the stored adjustment; changed to -3.
    shown.clear();
    onIncident = [&](frmEditIncident& d) {
        EXPECT_TRUE(bEditMode);
        shown << Text1(d, 2)->text();
        Text1(d, 2)->setText(QStringLiteral("-3"));
        Button(d, "cmdUpdate")->click();
    };
    DoubleClick(9, 3);
    EXPECT_EQ(shown, QStringList{"-5"});
    EXPECT_EQ(Penalty(3, "Points").toInt(), -3);
    EXPECT_EQ(Line(3, "Points").toInt(), 162);

    // A fraction is rounded once, half to even, and that is what the
    // points get: 2.5 gives 2.
    Give(3, QStringLiteral("2.5"));
    EXPECT_EQ(Penalty(3, "Points").toInt(), 2);
    EXPECT_EQ(Line(3, "Points").toInt(), 167);

    // Nothing changed: the same points, the grids reloaded.
    w->Grid(9)->setTextMatrix(3, 0, QStringLiteral("3   stale"));
    onIncident = [&](frmEditIncident& d) { Button(d, "cmdUpdate")->click(); };
    DoubleClick(9, 3);
    EXPECT_EQ(Line(3, "Points").toInt(), 167);
    EXPECT_TRUE(w->Grid(9)->TextMatrix(3, 0).endsWith(QStringLiteral("    2   Rough driving")));

    // Cleared box: removed like 0.
    Give(3, QString());
    EXPECT_EQ(Count(QStringLiteral("Penalties WHERE RaceID = 40000 AND Posi = 3")), 0);
    EXPECT_EQ(Line(3, "Points").toInt(), 165);
    EXPECT_EQ(w->Grid(9)->TextMatrix(3, 0), QStringLiteral("3   #***  Name not found      "));

    // 0 on a line without adjustment, and anything rounding to 0, store nothing.
    for (const char* zero : {"0", "0.0", "00", "-0.4", "0.5"}) {
        Give(3, QString::fromLatin1(zero));
        EXPECT_EQ(Count(QStringLiteral("Penalties WHERE RaceID = 40000 AND Posi = 3")), 0) << zero;
        EXPECT_EQ(Line(3, "Points").toInt(), 165) << zero;
    }
    EXPECT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();

    // A stored row with 0 points (line 1) goes on OK with 0.
    Give(1, QStringLiteral("0"), QStringLiteral("Cleared"));
    EXPECT_EQ(Count(QStringLiteral("Penalties WHERE RaceID = 40000 AND Posi = 1")), 0);
    EXPECT_EQ(Line(1, "Points").toInt(), 185);
}

TEST_F(IncidentTest, BadPointsAndABlankCommentAreRefused)
{
    onIncident = [&](frmEditIncident& d) {
        Text1(d, 2)->setText(QStringLiteral("five"));
        Comment(d)->setPlainText(QStringLiteral("x"));
        Button(d, "cmdUpdate")->click();
        EXPECT_TRUE(d.isVisible());
        Text1(d, 2)->setText(QStringLiteral("1e12"));
        Button(d, "cmdUpdate")->click();
        Text1(d, 2)->setText(QStringLiteral("-4"));
        Comment(d)->setPlainText(QStringLiteral("  "));
        Button(d, "cmdUpdate")->click();
        EXPECT_TRUE(d.isVisible());
        msgs->answer(dlg::vbYes);
        Button(d, "cmdCancel")->click();
    };
    DoubleClick(9, 3);
    ASSERT_EQ(msgs->calls().size(), 4u);
    EXPECT_EQ(msgs->calls()[0].prompt, QStringLiteral("Error: Field Points: must be numeric!"));
    EXPECT_EQ(msgs->calls()[0].title, QStringLiteral("Edit Penalties"));
    EXPECT_EQ(msgs->calls()[0].flags, dlg::vbCritical);
    EXPECT_EQ(msgs->calls()[1].prompt, QStringLiteral("Error: Field Points: must be numeric!"));
    EXPECT_EQ(msgs->calls()[2].prompt, QStringLiteral("Error: Must enter Incident Comment!"));
    EXPECT_EQ(msgs->calls()[2].title, QStringLiteral("Edit Penalties"));
    EXPECT_EQ(Count(QStringLiteral("Penalties WHERE RaceID = 40000 AND Posi = 3")), 0);
    EXPECT_EQ(Line(3, "Points").toInt(), 165);

    // A comment is also needed to remove an adjustment.
    msgs->clear();
    onIncident = [&](frmEditIncident& d) {
        Text1(d, 2)->setText(QStringLiteral("0"));
        Comment(d)->clear();
        Button(d, "cmdUpdate")->click();
        EXPECT_TRUE(d.isVisible());
        msgs->answer(dlg::vbYes);
        PressEscape(Comment(d));
    };
    DoubleClick(9, 2);
    EXPECT_EQ(msgs->calls()[0].prompt, QStringLiteral("Error: Must enter Incident Comment!"));
    EXPECT_EQ(Penalty(2, "Points").toInt(), -10);
}

TEST_F(IncidentTest, CancelAndEscapeAskAfterTypingAndWriteNothing)
{
    w->Grid(9)->setTextMatrix(2, 0, QStringLiteral("kept"));
    // Opened from a kept text: the row still names its line by row data.
    onIncident = [&](frmEditIncident& d) {
        EXPECT_EQ(d.posi(), 2);
        EXPECT_EQ(d.raceId(), kRaceId);
        EXPECT_EQ(d.division(), QStringLiteral("D1"));
        Button(d, "cmdCancel")->click();
    };
    DoubleClick(9, 2);
    EXPECT_FALSE(stillOpen);
    EXPECT_TRUE(msgs->calls().empty());
    EXPECT_EQ(w->Grid(9)->TextMatrix(2, 0), QStringLiteral("kept"));

    onIncident = [&](frmEditIncident& d) {
        EXPECT_EQ(Text1(d, 2)->text(), QStringLiteral("-10"));
        EXPECT_EQ(Comment(d)->toPlainText(), QStringLiteral("Rough driving"));
        Comment(d)->setPlainText(QStringLiteral("Rough driving, twice"));
        msgs->answer(dlg::vbNo);
        PressEscape(Text1(d, 2));
        EXPECT_TRUE(d.isVisible());
        msgs->answer(dlg::vbYes);
        Button(d, "cmdCancel")->click();
        EXPECT_FALSE(d.isVisible());
    };
    DoubleClick(9, 2);
    ASSERT_EQ(msgs->calls().size(), 2u);
    EXPECT_EQ(msgs->calls()[0].prompt, QStringLiteral("All changes will be lost, do you want to continue"));
    EXPECT_EQ(msgs->calls()[0].flags, 292);
    EXPECT_EQ(msgs->calls()[0].title, QStringLiteral("Verify"));
    EXPECT_EQ(Penalty(2, "Comment").toString(), QStringLiteral("Rough driving"));
    EXPECT_EQ(Line(2, "Points").toInt(), 175);

    // The comment takes at most 100 characters.
    QString kept;
    onIncident = [&](frmEditIncident& d) {
        Comment(d)->selectAll();
        QGuiApplication::clipboard()->setText(QString(120, QLatin1Char('x')));
        Comment(d)->paste();
        kept = Comment(d)->toPlainText();
        Button(d, "cmdUpdate")->click();
    };
    DoubleClick(9, 2);
    EXPECT_EQ(kept.size(), 100);
    EXPECT_EQ(Penalty(2, "Comment").toString(), QString(100, QLatin1Char('x')));
}

TEST_F(IncidentTest, ADatabaseErrorRollsBackThePenaltyAndThePoints)
{
    FailOn("UPDATE", "Score");
    onIncident = [&](frmEditIncident& d) {
        Text1(d, 2)->setText(QStringLiteral("-7"));
        Comment(d)->setPlainText(QStringLiteral("Jumped the start"));
        Button(d, "cmdUpdate")->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(msgs->last().contains(QStringLiteral("disk I/O trouble"))) << msgs->last().toStdString();
        EXPECT_EQ(Text1(d, 2)->text(), QStringLiteral("-7"));
        StopFailing();
        Button(d, "cmdUpdate")->click();
    };
    DoubleClick(9, 3);
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(Penalty(3, "Points").toInt(), -7);
    EXPECT_EQ(Line(3, "Points").toInt(), 158);   // applied once, not twice
}

TEST_F(IncidentTest, ALongStoredCommentIsKeptAndTypingStopsAtTheLimit)
{
    // A comment an older version stored wider than the column.
    const QString kept = QStringLiteral("Rough driving") + QString(137, QLatin1Char('!'));
    ASSERT_EQ(sqlite3_exec(dbMain->handle(), ("UPDATE Penalties SET Comment = '" + kept.toStdString() + "' WHERE Posi = 2").c_str(),
                           nullptr, nullptr, nullptr), SQLITE_OK);
    onIncident = [&](frmEditIncident& d) {
        EXPECT_EQ(Comment(d)->toPlainText(), kept);
        Comment(d)->moveCursor(QTextCursor::End);
        QTest::keyClicks(Comment(d), QStringLiteral("X"));   // no room for more
        EXPECT_EQ(Comment(d)->toPlainText(), kept);
        Text1(d, 2)->setText(QStringLiteral("-30"));
        Button(d, "cmdUpdate")->click();
    };
    DoubleClick(9, 2);
    EXPECT_FALSE(stillOpen);
    EXPECT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();
    EXPECT_EQ(Penalty(2, "Points").toInt(), -30);
    EXPECT_EQ(Penalty(2, "Comment").toString(), kept);
    EXPECT_EQ(Line(2, "Points").toInt(), 155);

    // Shortened but still over the limit: refused by name, nothing changes.
    onIncident = [&](frmEditIncident& d) {
        Comment(d)->moveCursor(QTextCursor::End);
        QTest::keyClick(Comment(d), Qt::Key_Backspace);
        Text1(d, 2)->setText(QStringLiteral("-20"));
        Button(d, "cmdUpdate")->click();
        EXPECT_TRUE(d.isVisible());
        msgs->answer(dlg::vbYes);
        Button(d, "cmdCancel")->click();
    };
    DoubleClick(9, 2);
    ASSERT_FALSE(msgs->calls().empty());
    EXPECT_EQ(msgs->calls()[0].prompt, QStringLiteral("Error: Field Comment: takes at most 100 characters!"));
    EXPECT_EQ(msgs->calls()[0].title, QStringLiteral("Edit Penalties"));
    EXPECT_EQ(Penalty(2, "Comment").toString(), kept);
    EXPECT_EQ(Line(2, "Points").toInt(), 155);

    // A new comment: a keystroke at the limit is refused where it is typed,
    // and a paste keeps what fits without cutting the text's ending.
    const QString full = QString(99, QLatin1Char('a')) + QLatin1Char('z');
    const QString short93 = QString(92, QLatin1Char('b')) + QLatin1Char('z');
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");
    QStringList shown;
    onIncident = [&](frmEditIncident& d) {
        Text1(d, 2)->setText(QStringLiteral("-5"));
        Comment(d)->setPlainText(full);
        QTextCursor at = Comment(d)->textCursor();
        at.setPosition(10);
        Comment(d)->setTextCursor(at);
        QTest::keyClicks(Comment(d), QStringLiteral("XY"));
        shown << Comment(d)->toPlainText();
        Comment(d)->setPlainText(short93);
        Comment(d)->moveCursor(QTextCursor::Start);
        QGuiApplication::clipboard()->setText(QString(30, QLatin1Char('P')));
        Comment(d)->paste();
        shown << Comment(d)->toPlainText();
        // What fits ends inside a character of two UTF-16 units: it goes whole.
        Comment(d)->setPlainText(short93);
        Comment(d)->moveCursor(QTextCursor::Start);
        QGuiApplication::clipboard()->setText(QString(6, QLatin1Char('P')) + face + QLatin1Char('P'));
        Comment(d)->paste();
        shown << Comment(d)->toPlainText();
        Comment(d)->setPlainText(QString(7, QLatin1Char('P')) + short93);
        Button(d, "cmdUpdate")->click();
    };
    msgs->clear();
    DoubleClick(9, 3);
    EXPECT_EQ(shown, (QStringList{full, QString(7, QLatin1Char('P')) + short93, QString(6, QLatin1Char('P')) + short93}));
    EXPECT_EQ(Penalty(3, "Comment").toString(), QString(7, QLatin1Char('P')) + short93);

    // 0 still removes the penalty with the long comment.
    Give(2, QStringLiteral("0"), kept);
    EXPECT_EQ(Count(QStringLiteral("Penalties WHERE RaceID = 40000 AND Posi = 2")), 0);
    EXPECT_EQ(Line(2, "Points").toInt(), 185);
}

TEST_F(IncidentTest, TheCommentLimitKeepsWholeCharactersAndThePastesBeginning)
{
    const QString face = QStringLiteral("\U0001F600");   // two UTF-16 units
    const QString a96(96, QLatin1Char('a'));
    QStringList shown;
    onIncident = [&](frmEditIncident& d) {
        QPlainTextEdit* box = Comment(d);
        Text1(d, 2)->setText(QStringLiteral("-5"));
        // One unit of room: a two-unit character is not put in at all.
        box->setPlainText(QString(99, QLatin1Char('a')));
        box->moveCursor(QTextCursor::End);
        Type(box, face);
        shown << box->toPlainText().right(2);
        // A paste that begins with what follows it keeps its own beginning;
        // undo takes it back and redo puts it in again.
        box->setPlainText(a96 + QStringLiteral("xac"));
        PlaceCursor(box, 97);
        QGuiApplication::clipboard()->setText(QStringLiteral("ab"));
        Key(box, Qt::Key_V, Qt::ControlModifier);
        shown << box->toPlainText().mid(96);
        Key(box, Qt::Key_Z, Qt::ControlModifier);
        shown << box->toPlainText().mid(96);
        Key(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        shown << box->toPlainText().mid(96);
        Button(d, "cmdUpdate")->click();
    };
    DoubleClick(9, 3);
    EXPECT_EQ(shown, (QStringList{"aa", "xaac", "xac", "xaac"}));
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(Penalty(3, "Comment").toString(), a96 + QStringLiteral("xaac"));
}

TEST_F(IncidentTest, AKeptLongCommentUndoesWholeAndKeepsItsLineBreaks)
{
    // Older versions stored longer comments, with the platform's CR LF.
    const QString wide = QStringLiteral("Rough driving") + QString(137, QLatin1Char('!'));
    const QString crlf = QStringLiteral("Contact in turn 1\r\nand again in turn 3\r\n") + QString(80, QLatin1Char('.'));
    const QString cr = QStringLiteral("Lone\rbreak") + QString(100, QLatin1Char('.'));
    Store(2, wide);
    QStringList shown;
    onIncident = [&](frmEditIncident& d) {
        QPlainTextEdit* box = Comment(d);
        box->setFocus();
        box->moveCursor(QTextCursor::End);
        Key(box, Qt::Key_Backspace);
        Key(box, Qt::Key_Backspace);
        shown << QString::number(box->toPlainText().size());
        Key(box, Qt::Key_Z, Qt::ControlModifier);
        shown << box->toPlainText();
        Key(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        shown << QString::number(box->toPlainText().size());
        Key(box, Qt::Key_Z, Qt::ControlModifier);
        Text1(d, 2)->setText(QStringLiteral("-30"));
        Button(d, "cmdUpdate")->click();
    };
    DoubleClick(9, 2);
    EXPECT_EQ(shown, (QStringList{"148", wide, "148"}));
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(Penalty(2, "Comment").toString(), wide);
    EXPECT_EQ(Penalty(2, "Points").toInt(), -30);

    // Line breaks as stored, byte for byte, when only the points change.
    int points = -30;
    for (const QString& kept : {crlf, cr}) {
        Store(2, kept);
        onIncident = [&](frmEditIncident& d) {
            Text1(d, 2)->setText(QString::number(++points));
            Button(d, "cmdUpdate")->click();
        };
        DoubleClick(9, 2);
        EXPECT_FALSE(stillOpen);
        EXPECT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();
        EXPECT_EQ(Penalty(2, "Comment").toString(), kept);
        EXPECT_EQ(Penalty(2, "Points").toInt(), points);
    }
}

// Undo and redo walk through the texts the comment box held, back to the
// one it opened with and forward to the newest, after keys the limit
// refused, over new and kept comments alike; the box never holds half a
// character nor more than its limit.
TEST_F(IncidentTest, UndoAndRedoWalkThroughTheTextsTheCommentHeld)
{
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler before = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        if (text.contains(QStringLiteral("QTextCursor")))
            warnings << text;
    });
    const QString face = QStringLiteral("\U0001F600");
    const QStringList pieces = {QStringLiteral("w"), QStringLiteral("\u00e9"), face, QStringLiteral("ab") + face + QLatin1Char('c'),
                                QStringLiteral("two\r\nlines"), QString(30, QLatin1Char('p'))};
    std::mt19937 random(40);
    QStringList faults;
    // Every text the box shows, in order, from the one it opened with.
    QStringList seen;
    auto note = [&](QPlainTextEdit* box) {
        const QString text = box->toPlainText();
        const qsizetype limit = std::max<qsizetype>(frmEditIncident::kCommentLength, seen.front().size());
        if (text.size() > limit || !text.isValidUtf16())   // half a character
            faults << QStringLiteral("held ") + text;
        if (seen.back() != text)
            seen << text;
    };
    auto typeEach = [&](QPlainTextEdit* box, const QStringList& keys) {
        for (const QString& key : keys) {
            Type(box, key);
            note(box);
        }
    };
    auto step = [&](QPlainTextEdit* box, int what) {
        const QString piece = pieces.at(int(random() % pieces.size()));
        switch (what) {
        case 0: Type(box, piece.left(rt::SplitsCharacter(piece, 1) ? 2 : 1)); break;
        case 1: QGuiApplication::clipboard()->setText(piece); Key(box, Qt::Key_V, Qt::ControlModifier); break;
        case 2: Key(box, Qt::Key_Backspace); break;
        case 3: Key(box, Qt::Key_Return); break;
        case 4: Key(box, Qt::Key_Z, Qt::ControlModifier); break;
        case 5: Key(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); break;
        default: {
            const QString text = box->toPlainText();
            auto whole = [&](int at) { return rt::SplitsCharacter(text, at) ? at + 1 : at; };
            QTextCursor c = box->textCursor();
            c.setPosition(whole(int(random() % (text.size() + 1))));
            c.setPosition(whole(int(random() % (text.size() + 1))), QTextCursor::KeepAnchor);
            box->setTextCursor(c);
        }
        }
        note(box);
    };
    // Undo as far as it goes, then redo as far as it goes.
    auto walk = [&](QPlainTextEdit* box, const QString& name) {
        const QString newest = box->toPlainText();
        for (const bool back : {true, false}) {
            for (int i = 0; i < 500 && (back ? box->document()->isUndoAvailable() : box->document()->isRedoAvailable()); ++i) {
                Key(box, Qt::Key_Z, back ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
                if (!seen.contains(box->toPlainText()))
                    faults << name + QStringLiteral(": never held ") + box->toPlainText();
            }
            if (box->toPlainText() != (back ? seen.front() : newest))
                faults << name + (back ? QStringLiteral(": undone to ") : QStringLiteral(": redone to ")) + box->toPlainText().right(8);
        }
    };
    auto open = [&](const QString& name, const std::function<void(QPlainTextEdit*)>& edit) {
        onIncident = [&](frmEditIncident& d) {
            QPlainTextEdit* box = Comment(d);
            box->setFocus();
            box->moveCursor(QTextCursor::End);
            seen = QStringList{box->toPlainText()};
            edit(box);
            walk(box, name);
        };
        DoubleClick(9, 2);
    };

    // As seen by hand: a refused Z, a refused two-unit character, a kept comment.
    Store(2, QString());
    open(QStringLiteral("Z"), [&](QPlainTextEdit* box) { typeEach(box, QStringList(98, QStringLiteral("w")) + QStringList{"X", "Y", "Z"}); });
    open(QStringLiteral("face"), [&](QPlainTextEdit* box) { typeEach(box, QStringList(97, QStringLiteral("w")) + QStringList{face, face, "Z"}); });
    Store(2, QString(100, QLatin1Char('k')));
    open(QStringLiteral("kept"), [&](QPlainTextEdit* box) {
        Key(box, Qt::Key_Backspace);
        note(box);
        typeEach(box, {"X", "Y"});
    });
    // Random edits of random kept comments, some longer than the limit.
    for (int round = 0; round < 100; ++round) {
        QString kept(int(random() % 151), QLatin1Char('k'));
        for (const QString& piece : {face, QStringLiteral("\r\n")})
            if (!kept.isEmpty() && random() % 2)
                kept.insert(int(random() % kept.size()), piece);
        Store(2, kept.isEmpty() ? QStringLiteral("k") : kept);
        open(QStringLiteral("round %1").arg(round), [&](QPlainTextEdit* box) {
            for (int i = 0; i < 40; ++i)
                step(box, int(random() % 7));
            box->selectAll();   // an edit last, so redo ends at the newest text
            typeEach(box, {"w"});
        });
    }
    qInstallMessageHandler(before);
    EXPECT_TRUE(faults.isEmpty()) << faults.size() << ": " << faults.mid(0, 10).join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(warnings.isEmpty()) << warnings.size() << ": " << warnings.front().toStdString();
}
