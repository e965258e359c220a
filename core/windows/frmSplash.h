#pragma once
// The window that stands on the screen while the database opens.

#include <QPixmap>
#include <QWidget>

class QFrame;

// The program's logo: a chequered flag.
QPixmap TarvikLogo(int size);
// "Version " major.minor.revision.
QString VersionText();

class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* m_frame = nullptr;
};
