#pragma once
// "Standings / Statistics": the standings and statistics pages of one
// division as they were last published, the fragments of its latest race
// with results shown in two browsers, one per tab. Computes nothing.

#include <QString>
#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QTabWidget;
class QWebEngineView;

class frmShowStand : public QWidget {
    Q_OBJECT
public:
    explicit frmShowStand(QWidget* parent = nullptr);

    // RaceNo of the division's latest race with results (by its numeric
    // value, then the one stored last), as the page writer was given it;
    // nothing when the division has no race with results.
    static std::optional<QString> LatestScoredRace(const QString& division);

    QString ViewDivision() const { return sViewDiv; }
    QWebEngineView* Browser(int n) const { return n == 1 ? Grid1 : Grid2; }   // Grid1, Grid2

public slots:
    void DivName_Click(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void SizeTabs();
    void ShowBlank();
    // The fragment when it was written, else the blank page.
    static QString PageOrBlank(const QString& fragmentName);

    QLabel* Label1 = nullptr;
    QComboBox* DivName = nullptr;
    QTabWidget* SSTab1 = nullptr;
    QWebEngineView* Grid1 = nullptr;
    QWebEngineView* Grid2 = nullptr;

    QString sViewDiv;   // the division whose pages are shown
};
