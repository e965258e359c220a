#pragma once
// The hourglass for a long run, restored however the run ends. Does
// nothing without a GUI application (tests, tools).

#include <QApplication>

class WaitCursor {
public:
    WaitCursor()
        : m_on(qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (m_on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor()
    {
        if (m_on)
            QApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_on;
};
