#pragma once
// "Race Result": one scored race of one division on ten tabs of fixed-width
// text lines (results, qualifying, race data, team, rookie and manufacturer
// points, awards, earnings, point adjustments, damage). The page writer and
// the editors opened from here read the grid rows; the editors refresh the
// window through FillGrids and LoadEarnLine.

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>

class MSFlexGrid;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
struct RaceResultGrids;

namespace dao {
class Recordset;
}

class frmRaceResult : public QWidget {
    Q_OBJECT
public:
    explicit frmRaceResult(QWidget* parent = nullptr);

    static constexpr int kGrids = 10;
    static constexpr int kLineRows = 61;   // header and 60 lines; a longer race adds rows

    // Posi of the last result line loaded (a new line is proposed after it).
    qint64 LastPos = 0;

    // Blanks the line rows of the grids and forgets the pole values.
    void ClearGrids();
    // Loads race lSelID of division sCurDiv into every grid.
    void FillGrids();
    // The five award lines of race lSelID.
    void Awards();
    // Writes the earnings line of TempR (Posi, DriverID, Earnings, Bonus,
    // BonusAdd) into the current row of the grid, with its Posi as row data.
    void LoadEarnLine(const dao::Recordset& TempR, MSFlexGrid* Grid8);

    // Races.ID of the race the grids show, 0 when none.
    qint64 ShownRace() const { return m_shownRace; }
    MSFlexGrid* Grid(int n) const { return m_grids[n - 1]; }   // Grid1..Grid10
    // Every grid's rows, for the page writer.
    RaceResultGrids GridLines() const;

public slots:
    void DivName_Click(int index);
    void List1_Click();
    void commSave_Click();
    void commAddProv_Click();
    void commDamage_Click();
    void Grid1_DblClick();
    void Grid8_DblClick();
    void Grid9_DblClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void LoadRaceList();
    // Before every command: the shared division, race and division
    // settings become those of the race shown, whatever another window set.
    bool UseShownRace();
    void FillResultLines(const QString& race);
    void FillQualifying(const QString& race);
    void FillRaceInfo(const QString& race);
    void FillRookies();
    void FillMakes();
    void FillEarnings(const QString& race);
    void FillTeams();
    void FitColumns();

    QLabel* Label1 = nullptr;
    QComboBox* DivName = nullptr;
    QLabel* Label2 = nullptr;
    QListWidget* List1 = nullptr;   // item data: Races.ID
    QPushButton* commAddProv = nullptr;
    QPushButton* commSave = nullptr;
    QPushButton* commDamage = nullptr;   // never shown
    QTabWidget* SSTab1 = nullptr;
    std::array<MSFlexGrid*, kGrids> m_grids{};

    QString m_listDiv;            // the division whose races List1 lists
    qint64 m_shownRace = 0;
    // The shown race's division and Races row values.
    QString m_raceDiv;
    QString m_raceNo, m_raceName, m_venue, m_raceDate, m_weather;
    QString m_trackMiles;
    // First qualifying line: driver name (20), speed and time texts.
    QString m_poleName, m_poleSpeed, m_poleTime;
};
