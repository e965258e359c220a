// The standings viewer on the small season (Season.h): which fragments its
// two tabs load, that the standings really render, and how both standings
// windows open from the main window, keep their place and shrink.

#include "../Season.h"

#include "FormRegistry.h"
#include "Forms.h"
#include "HTMLClass.h"
#include "TextLayout.h"
#include "RegisterStandingsForms.h"
#include "Settings.h"
#include "Statistics.h"
#include "frmMainMenu.h"
#include "frmRecords.h"
#include "frmShowStand.h"

#include <QAction>
#include <QColor>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QImage>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

#include <memory>

using season::SeasonTest;

namespace {

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void waitFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

class ViewerTest : public SeasonTest {
protected:
    // Publishes the season through race 3: standings and statistics.
    void publish()
    {
        ASSERT_TRUE(run(QStringLiteral("3"))) << msgs->last().toStdString();
        Statistics stats;
        stats.Division = QStringLiteral("D1");
        stats.LastRace = QStringLiteral("3");
        ASSERT_TRUE(stats.GenerateAll()) << msgs->last().toStdString();
    }

    std::unique_ptr<frmShowStand> open()
    {
        auto w = std::make_unique<frmShowStand>();
        w->resize(700, 500);
        w->show();
        return w;
    }

    QString txt(const QString& name) const { return program->file(QStringLiteral("TXT/") + name); }
    QString shown(const frmShowStand& w, int n) const { return w.Browser(n)->url().toLocalFile(); }
    QComboBox* combo(const frmShowStand& w) const { return w.findChild<QComboBox*>(QStringLiteral("DivName")); }

    void choose(frmShowStand& w, int index)
    {
        combo(w)->setCurrentIndex(index);
        emit combo(w)->activated(index);
    }

    // Waits until the browser has loaded its page.
    static bool loaded(QWebEngineView* b)
    {
        bool ok = false;
        QEventLoop loop;
        QObject::connect(b, &QWebEngineView::loadFinished, &loop, [&](bool result) {
            ok = result;
            loop.quit();
        });
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        loop.exec();
        return ok;
    }

    // The value of a script run on the browser's page.
    static QVariant script(QWebEngineView* b, const QString& js)
    {
        QVariant result;
        QEventLoop loop;
        b->page()->runJavaScript(js, [&](const QVariant& v) {
            result = v;
            loop.quit();
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        return result;
    }
};

} // namespace

TEST_F(ViewerTest, CurrentDivisionShowsItsLatestPublishedRace)
{
    dbMain->execute(QStringLiteral("INSERT INTO Division (ID, Name) VALUES ('A-B', 'Alpha')"));
    publish();
    // A race 4 that stands in Races without results does not count.
    dbMain->execute(QStringLiteral("INSERT INTO Races (ID, Division, RaceNo, Venue) VALUES (4, 'D1', '4', 'Track 4')"));

    sCurDiv = QStringLiteral("D1");
    auto w = open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Standings / Statistics"));
    auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral(" &Point Standings"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Statistics"));
    ASSERT_EQ(combo(*w)->count(), 3);
    EXPECT_EQ(combo(*w)->itemText(0), QStringLiteral("<Select Division>"));
    EXPECT_EQ(combo(*w)->currentText(), QStringLiteral("D1 - Premier"));
    EXPECT_EQ(w->ViewDivision(), QStringLiteral("D1"));
    EXPECT_EQ(shown(*w, 1), txt(QStringLiteral("003D1Stan.htm")));
    EXPECT_EQ(shown(*w, 2), txt(QStringLiteral("003D1Stat.htm")));

    // The standings table is drawn: its title is in the page, and the
    // browser's picture is not a blank one.
    ASSERT_TRUE(loaded(w->Browser(1)));
    EXPECT_EQ(script(w->Browser(1), QStringLiteral("document.querySelectorAll('table.tarvik_table_standings tr').length")).toInt(),
              2 + 6 + 6);   // title, header, six drivers, then the legend's rows
    EXPECT_TRUE(script(w->Browser(1), QStringLiteral("document.body.innerText")).toString().contains(
        QStringLiteral("Point Standings after Race #3")));
    EXPECT_GT(script(w->Browser(1), QStringLiteral("document.querySelector('table.tarvik_table_standings').offsetHeight")).toInt(), 50);
    // The picture comes a moment after the load; a loaded machine may take longer.
    const QRgb title = QColor(HTMLColor(dTC)).rgb();
    int titlePixels = 0, total = 0;
    QHash<QRgb, int> colours;
    for (int attempt = 0; attempt < 40; ++attempt) {
        waitFor(250);
        const QImage picture = w->Browser(1)->grab().toImage();
        ASSERT_FALSE(picture.isNull());
        colours.clear();
        for (int y = 0; y < picture.height(); y += 2)
            for (int x = 0; x < picture.width(); x += 2)
                ++colours[picture.pixel(x, y)];
        titlePixels = colours.value(title);
        total = (picture.width() / 2) * (picture.height() / 2);
        if (titlePixels > total / 20)
            break;
    }
    EXPECT_GT(colours.size(), 3) << "the standings view is blank";
    // The title rows in the page's title colour cover a good part of it.
    EXPECT_GT(titlePixels, total / 20);

    // "<Select Division>" again goes back to the current division.
    choose(*w, 0);
    EXPECT_EQ(combo(*w)->currentText(), QStringLiteral("D1 - Premier"));
    EXPECT_EQ(shown(*w, 1), txt(QStringLiteral("003D1Stan.htm")));

    // A division without results, whose id holds "-", shows the blank page.
    choose(*w, combo(*w)->findText(QStringLiteral("A-B - Alpha")));
    EXPECT_EQ(w->ViewDivision(), QStringLiteral("A-B"));
    EXPECT_EQ(shown(*w, 1), txt(QStringLiteral("BLANK.HTM")));
    EXPECT_EQ(shown(*w, 2), txt(QStringLiteral("BLANK.HTM")));
    EXPECT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();
}

TEST_F(ViewerTest, FragmentsByTheWritersNamesOrTheBlankPage)
{
    // No current division: nothing chosen, blank pages.
    {
        auto w = open();
        EXPECT_EQ(combo(*w)->currentIndex(), 0);
        EXPECT_EQ(shown(*w, 1), txt(QStringLiteral("BLANK.HTM")));
        EXPECT_EQ(shown(*w, 2), txt(QStringLiteral("BLANK.HTM")));
        ASSERT_TRUE(loaded(w->Browser(1)));
    }

    // Race 3 has results but was never published: blank, not a missing page.
    auto w = open();
    choose(*w, 1);
    EXPECT_EQ(shown(*w, 1), txt(QStringLiteral("BLANK.HTM")));
    EXPECT_EQ(shown(*w, 2), txt(QStringLiteral("BLANK.HTM")));

    // Published standings without statistics: each tab on its own.
    ASSERT_TRUE(run(QStringLiteral("3")));
    choose(*w, 1);
    EXPECT_EQ(shown(*w, 1), txt(QStringLiteral("003D1Stan.htm")));
    EXPECT_EQ(shown(*w, 2), txt(QStringLiteral("BLANK.HTM")));

    // Race numbers of 1000 and more, or with letters after the digits, open
    // the files the page writer wrote for them.
    for (const char* raceNo : {"1000", "1234", "7b"}) {
        SCOPED_TRACE(raceNo);
        const QString no = QString::fromLatin1(raceNo);
        dbMain->execute(QStringLiteral("DELETE FROM Races WHERE ID = 9"));
        dbMain->execute(QStringLiteral("INSERT INTO Races (ID, Division, RaceNo, Venue) VALUES (9, 'D1', ?, 'Track 9')"), {no});
        dbMain->execute(QStringLiteral("INSERT INTO Score (Division, RaceID, Posi, DriverID) VALUES ('D1', 9, 1, 1)"));
        HTMLClass html;
        ASSERT_TRUE(html.HTMLStandings(QStringLiteral("D1"), no, {}, {}, {}, {}, {}));
        html.sDiv = QStringLiteral("D1");
        html.sRace = no;
        ASSERT_TRUE(html.HTMLStatistics(QVariant(), 0, {}, {}, {}, {}));
        choose(*w, 1);
        EXPECT_EQ(shown(*w, 1), txt(HTMLClass::SeasonFragmentName(SeasonFragment::Standings, no, QStringLiteral("D1"))));
        EXPECT_EQ(shown(*w, 2), txt(HTMLClass::SeasonFragmentName(SeasonFragment::Statistics, no, QStringLiteral("D1"))));
        EXPECT_NE(shown(*w, 1), txt(QStringLiteral("BLANK.HTM")));
    }
    EXPECT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();
}

TEST_F(ViewerTest, WindowsOpenFromTheMainWindowKeepTheirPlaceAndShrinkToNothing)
{
    RegisterStandingsForms();
    auto main = std::make_unique<frmMainMenu>();
    main->resize(1400, 1000);
    main->show();
    struct Win {
        const char* form;
        const char* menu;
        const char* tool;
    };
    for (const Win& c : {Win{"frmShowStand", "mnuStan", "tbStandings"}, Win{"frmRecords", "mnuTRec", "tbRecords"}}) {
        SCOPED_TRACE(c.form);
        const QString form = QString::fromLatin1(c.form);
        QAction* menu = main->findChild<QAction*>(QString::fromLatin1(c.menu));
        QAction* tool = main->findChild<QAction*>(QString::fromLatin1(c.tool));
        ASSERT_TRUE(menu && tool);
        EXPECT_TRUE(menu->isEnabled());
        EXPECT_TRUE(tool->isEnabled());

        menu->trigger();
        settle();
        QWidget* first = FindLoadedForm(form);
        ASSERT_NE(first, nullptr);
        auto* frame = qobject_cast<QMdiSubWindow*>(first->parentWidget());
        ASSERT_NE(frame, nullptr);
        // The default size on a first opening.
        EXPECT_EQ(frame->size(), QSize(TwipsToPixels(8745), TwipsToPixels(6285)));
        frame->setGeometry(30, 45, 900, 600);
        settle();

        // Below the window's margins every child size is held at zero.
        first->resize(10, 10);
        settle();
        if (form == QLatin1String("frmShowStand")) {
            auto* viewer = static_cast<frmShowStand*>(first);
            EXPECT_EQ(first->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->size(), QSize(0, 0));
            EXPECT_EQ(viewer->Browser(1)->size(), QSize(0, 0));
            EXPECT_EQ(viewer->Browser(2)->size(), QSize(0, 0));
        } else {
            EXPECT_EQ(static_cast<frmRecords*>(first)->Grid()->size(), QSize(0, 0));
        }
        first->resize(frame->contentsRect().size());
        settle();
        if (form == QLatin1String("frmShowStand"))
            EXPECT_EQ(first->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->width(), first->width() - TwipsToPixels(320));
        else
            EXPECT_EQ(static_cast<frmRecords*>(first)->Grid()->width(), first->width() - TwipsToPixels(225));

        UnloadAllForms();
        settle();
        EXPECT_EQ(settings::GetSetting(QStringLiteral("Tarvik"), form, QStringLiteral("Width")), QStringLiteral("13500"));
        EXPECT_EQ(settings::GetSetting(QStringLiteral("Tarvik"), form, QStringLiteral("WindowState")), QStringLiteral("0"));

        tool->trigger();
        settle();
        QWidget* second = FindLoadedForm(form);
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(second->parentWidget()->geometry(), QRect(30, 45, 900, 600));
        UnloadAllForms();
        settle();

        // Opened maximised, it goes back to maximised when brought to normal size.
        settings::SaveSetting(QStringLiteral("Tarvik"), form, QStringLiteral("WindowState"), QStringLiteral("2"));
        menu->trigger();
        settle();
        QWidget* third = FindLoadedForm(form);
        ASSERT_NE(third, nullptr);
        EXPECT_EQ(nLastWindowState, 2);
        EXPECT_TRUE(third->parentWidget()->isMaximized());
        third->parentWidget()->showNormal();
        settle();
        EXPECT_TRUE(third->parentWidget()->isMaximized());
        UnloadAllForms();
        settle();
    }
    main.reset();
    EXPECT_TRUE(msgs->calls().empty()) << msgs->last().toStdString();
}
