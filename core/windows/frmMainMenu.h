#pragma once
// The main window: the area the working windows live in, the menu bar,
// the toolbar and the status bar. Lives for the whole run.

#include <QMainWindow>

#include <functional>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;

class frmMainMenu : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMainMenu(QWidget* parent = nullptr);
    ~frmMainMenu() override;

    QMdiArea* mdiArea() const { return m_area; }

    // The commands (menu and toolbar run these).
    void mnuExit_Click();
    void mnuOptions_Click();
    void mnuImport_Click();
    void mnuVResult_Click();
    void mnuStan_Click();
    void mnuTRec_Click();
    void mnuDiv_Click();
    void mnuDrivers_Click();
    void mnuRaces_Click();
    void mnuBonus_Click();
    void mnuTeams_Click();
    void mnuRookies_Click();
    void mnuTracks_Click();
    void mnuReadMe_Click();
    void mnuAbout_Click();
    // A choice from the toolbar's "Tables" drop-down, by its text.
    void TablesDropDown(const QString& item);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* addCommand(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key,
                        void (frmMainMenu::*command)(), bool enabled = true);
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void updateClock();
    void openList(const QString& caption, const QString& keyField, const QString& displayField, double colWidth,
                  const QString& table);

    QMdiArea* m_area = nullptr;
    QLabel* m_date = nullptr;
    QLabel* m_time = nullptr;
};
