#include "frmReadme.h"

#include "Forms.h"
#include "Runtime.h"
#include "State.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShortcut>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

namespace {
constexpr double kDefaultHeight = 6285;
constexpr double kDefaultWidth = 8745;
}

frmReadme::frmReadme(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmReadme"));
    setWindowTitle(QStringLiteral("Read Me"));

    m_browser = new QWebEngineView(this);
    m_browser->setObjectName(QStringLiteral("Grid1"));

    restorePosition();
    nLastWindowState = FormWindowState(this);
    m_browser->setUrl(QUrl::fromLocalFile(rt::AppFile(QStringLiteral("readme.htm"))));
    sizeBrowser();

    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    esc->setContext(Qt::WindowShortcut);
    connect(esc, &QShortcut::activated, this, &QWidget::close);
}

void frmReadme::restorePosition()
{
    LoadFormPosition(this, PixelsToTwips(y()), PixelsToTwips(x()), kDefaultHeight, kDefaultWidth);
}

void frmReadme::sizeBrowser()
{
    const int margin = TwipsToPixels(100);
    m_browser->setGeometry(0, 0, qMax(width() - margin, 0), qMax(height() - margin, 0));
}

void frmReadme::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (isMinimized())
        return;
    // Opened maximised: it goes back to the stored state when restored.
    if (nLastWindowState == 2 && isVisible() && !isMaximized() && !m_restoring) {
        m_restoring = true;
        QTimer::singleShot(0, this, [this] {
            restorePosition();
            m_restoring = false;
        });
    }
    sizeBrowser();
}

void frmReadme::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmReadme::closeEvent(QCloseEvent* event)
{
    SaveFormPosition(this);
    event->accept();
}
