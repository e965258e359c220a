#pragma once
// The Preferences window: page look (fonts, colours, separator lines), page
// output (extension, style block) and the award amounts, with a live sample.
// Only "&Ok" keeps what was chosen; any other way of closing leaves the
// preferences as they were before the window opened.

#include <QColor>
#include <QWidget>

#include <array>

class MaskEdBox;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class frmOptions : public QWidget {
    Q_OBJECT
public:
    explicit frmOptions(QWidget* parent = nullptr);

    // The window's commands (buttons run these).
    void Select(int index);
    void Check1_Click();
    void cmdOk_Click();
    void cmdCancel_Click();

    // Colour numbers hold red in the low byte, green next, then blue.
    static QColor ColorFromNumber(double number);
    static double NumberFromColor(const QColor& color);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Prefs {
        double rookie1, rookie2, rookie3, challenge, headache, pole, underdog, hard;
        double bc1, bc2, tc, tfc, bfc, bb;
        QString tfn, bfn;
        int tfs, bfs;
        bool lines;
        QString htmlExt;
        bool useStyle;
    };
    static Prefs currentPrefs();
    static void restorePrefs(const Prefs& p);

    void fillFromPreferences();
    void paintTitleSample();
    void paintBodySamples();
    void save();

    Prefs m_before{};
    bool m_saved = false;

    std::array<MaskEdBox*, 8> m_amounts{};
    std::array<QLabel*, 6> m_body{};
    QLabel* m_title = nullptr;
    QFrame* m_shape2 = nullptr;
    QFrame* m_shape3 = nullptr;
    QCheckBox* m_check1 = nullptr;
    QCheckBox* m_check2 = nullptr;
    QLineEdit* m_ext = nullptr;
};
