#pragma once
// The read-me viewer: readme.htm of the program folder in a browser,
// a separate window that remembers its position.

#include <QWidget>

class QWebEngineView;

class frmReadme : public QWidget {
    Q_OBJECT
public:
    explicit frmReadme(QWidget* parent = nullptr);
    QWebEngineView* browser() const { return m_browser; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void restorePosition();
    void sizeBrowser();

    QWebEngineView* m_browser = nullptr;
    bool m_restoring = false;
};
