#pragma once
// "Import Standings": the scorer picks the division, race number, result
// page and track, and imports the race; afterwards the race data editor can
// be opened on the imported race.

#include <QString>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class frmProcess : public QWidget {
    Q_OBJECT
public:
    explicit frmProcess(QWidget* parent = nullptr);

    static constexpr const char* kNotFound = "*** NOT FOUND ***";

    // The short name of the page's track, or "*** NOT FOUND ***"; nothing
    // changes when the page cannot be opened. Returns the page's full name.
    QString ReadTrackName(const QString& file);
    // Tracks.ID of the short name, 0 when there is none.
    static qint64 GetTrackID(const QString& shortName);

private slots:
    void DivName_Click(int index);
    void Race_Change();
    void STNFile_Change();
    void Command_Browse_Click();
    void Command_Process_Click();
    void Command_Cancel_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QString PagePath(const QString& typed) const;
    void CloseWindow();

    QComboBox* DivName = nullptr;
    QLineEdit* Race = nullptr;
    QComboBox* Tracks = nullptr;
    QLineEdit* STNFile = nullptr;
    QPushButton* Command_Browse = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QPushButton* Command_Process = nullptr;
    QPushButton* Command_Cancel = nullptr;

    QString m_startFolder;
    QString m_pageShown;    // the STNFile text the track was last proposed from
    QString sShortName;
    int nNewDrivers = 0;
    bool m_placed = false;
};
