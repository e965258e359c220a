#pragma once
// The hourglass for a long run, restored however the run ends. Does
// nothing without a GUI application (tests, tools).

#include <QCursor>
#include <QGuiApplication>

class WaitCursor {
public:
    WaitCursor()
        : m_on(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (m_on)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~WaitCursor()
    {
        if (m_on)
            QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_on;
};
