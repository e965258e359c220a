#include "EnterOnButtons.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace {

class EnterFilter : public QObject {
public:
    explicit EnterFilter(QPushButton* button)
        : QObject(button)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        static_cast<QPushButton*>(watched)->click();   // nothing when disabled
        return true;
    }
};

} // namespace

void PressOnEnter(QPushButton* button)
{
    button->installEventFilter(new EnterFilter(button));
}

void PressButtonsOnEnter(QWidget* window)
{
    for (QPushButton* button : window->findChildren<QPushButton*>())
        PressOnEnter(button);
}
