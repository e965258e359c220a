#include "TextLimit.h"

#include "Runtime.h"

#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QValidator>

#include <algorithm>
#include <utility>

namespace {

const char kHeldLength[] = "heldLength";
const char kLoadedLength[] = "loadedLength";

// The beginning of a text that fits in the units without halving a
// character.
QString FitWhole(const QString& text, qsizetype units)
{
    if (units <= 0)
        return QString();
    if (units >= text.size())
        return text;
    return text.left(rt::SplitsCharacter(text, units) ? units - 1 : units);
}

// Qt cuts what goes into a line edit at its length in UTF-16 units; a
// change that would leave half a character is refused here, and Qt then
// takes it back whole, its undo history with it.
class WholeCharacters : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& /*pos*/) const override
    {
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (rt::SplitsCharacter(input, i + 1))
                ++i;
            else if (input[i].isSurrogate())
                return Invalid;
        }
        return Acceptable;
    }
};

// A paste that Qt would cut inside a character is put in here instead, up
// to the character before; the keyboard's paste and the context menu's
// both come this way.
class LinePaste : public QObject {
public:
    explicit LinePaste(QLineEdit* box)
        : QObject(box)
        , m_box(box)
    {
        box->installEventFilter(this);
        // An editable combo takes the keys and the menu of its box and hands
        // them on past the box's filters.
        if (auto* combo = qobject_cast<QComboBox*>(box->parentWidget()); combo && combo->lineEdit() == box)
            combo->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_box && watched != m_box->parentWidget())
            return false;
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste))
            return PasteWhole();
        if (event->type() == QEvent::ContextMenu
            && static_cast<QWidget*>(watched)->contextMenuPolicy() == Qt::DefaultContextMenu) {
            QMenu* menu = m_box->createStandardContextMenu();
            for (QAction* action : menu->actions()) {
                // The menu's paste is the action that calls the box's paste
                // (by name in Qt 6.4, by pointer in later versions).
                if (disconnect(action, nullptr, m_box, SLOT(paste()))
                    || disconnect(action, &QAction::triggered, m_box, &QLineEdit::paste))
                    connect(action, &QAction::triggered, m_box, [this] {
                        if (!PasteWhole())
                            m_box->paste();
                    });
            }
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        return false;
    }

private:
    // True when the paste was done here.
    bool PasteWhole()
    {
        if (m_box->isReadOnly())
            return false;
        const QString clip = QGuiApplication::clipboard()->text();
        const qsizetype room = m_box->maxLength() - (m_box->text().size() - m_box->selectedText().size());
        if (!rt::SplitsCharacter(clip, room))
            return false;
        // Qt keeps a paste apart from the typing around it in the undo
        // history; moving the cursor does the same here.
        EndTypingRun();
        m_box->insert(FitWhole(clip, room));
        EndTypingRun();
        return true;
    }
    void EndTypingRun()
    {
        if (m_box->hasSelectedText() || m_box->text().isEmpty())
            return;   // removing a selection starts a step of its own
        const int at = m_box->cursorPosition();
        m_box->setCursorPosition(at > 0 ? at - 1 : at + 1);
        m_box->setCursorPosition(at);
    }

    QLineEdit* m_box;
};

// A text edit has no length of its own: an edit that takes its text past
// the length loses the end of what it put in, in the same undo step, so
// undo and redo only ever bring back texts that were within the length.
// The excess is never more than the edit put in, so what stood before it
// and after it stays.
class PlainLimit : public QObject {
public:
    explicit PlainLimit(QPlainTextEdit* box)
        : QObject(box)
        , m_box(box)
    {
        connect(box->document(), &QTextDocument::contentsChange, this, [this](int at, int /*removed*/, int added) {
            m_at = at;
            m_added = added;
        });
        connect(box, &QPlainTextEdit::textChanged, this, &PlainLimit::Trim);
    }

private:
    void Trim()
    {
        const int at = std::exchange(m_at, -1);
        if (at < 0 || m_added <= 0)
            return;
        const qsizetype limit = std::max(m_box->property(kHeldLength).toLongLong(), m_box->property(kLoadedLength).toLongLong());
        const QString text = m_box->toPlainText();
        const qsizetype excess = text.size() - limit;
        if (excess <= 0)
            return;
        // Qt may report a whole paragraph as changed; typing and pasting
        // leave the cursor just after what they put in.
        qsizetype end = std::min<qsizetype>(at + m_added, text.size());
        if (const int cursor = m_box->textCursor().position(); cursor > at && cursor < end)
            end = cursor;
        const qsizetype keep = FitWhole(text.mid(at, end - at), end - at - excess).size();
        QTextCursor cut(m_box->document());
        cut.joinPreviousEditBlock();
        cut.setPosition(int(at + keep));
        cut.setPosition(int(end), QTextCursor::KeepAnchor);
        cut.removeSelectedText();
        cut.endEditBlock();
    }

    QPlainTextEdit* m_box;
    int m_at = -1;   // where the last change began, until it is trimmed
    int m_added = 0;
};

} // namespace

void HoldToLength(QLineEdit* box, int units)
{
    box->setMaxLength(units);
    box->setValidator(new WholeCharacters(box));
    new LinePaste(box);
}

void HoldToLength(QPlainTextEdit* box, int units)
{
    box->setProperty(kHeldLength, units);
    new PlainLimit(box);
}

void SetLoadedText(QLineEdit* box, const QString& text)
{
    if (box->maxLength() < text.size())
        box->setMaxLength(int(text.size()));
    box->setText(text);
}

void SetLoadedText(QPlainTextEdit* box, const QString& text)
{
    box->setProperty(kLoadedLength, text.size());
    box->setPlainText(text);
    // As the box holds it: a CR LF line break is one unit there.
    box->setProperty(kLoadedLength, box->toPlainText().size());
}
