#include "TextLimit.h"

#include "Runtime.h"

#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextCursor>
#include <QValidator>

#include <algorithm>
#include <optional>

namespace {

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

// Units of the range an input method replaces beside the cursor, in a text
// of the given length.
qsizetype Replaced(const QInputMethodEvent* event, qsizetype cursor, qsizetype length)
{
    const qsizetype from = std::clamp<qsizetype>(cursor + event->replacementStart(), 0, length);
    return std::clamp<qsizetype>(from + event->replacementLength(), from, length) - from;
}

// Cuts an input method's commit to what fits in the room (the replaced
// range counted in); where nothing fits, nothing is replaced either.
void FitCommit(QInputMethodEvent* event, const QString& commit, qsizetype room)
{
    if (commit.size() <= room)
        return;
    const QString fit = FitWhole(commit, room);
    if (fit.isEmpty())
        event->setCommitString(QString());
    else
        event->setCommitString(fit, event->replacementStart(), event->replacementLength());
}

// What a key puts into a box, or a null text for a key that puts in
// nothing: a command (a standard key such as undo, whatever text its event
// carries), a control character, Ctrl with a letter. In a text edit Return
// puts in one line break and Tab a tab.
QString Typed(const QKeyEvent* event, bool textEdit)
{
    if (textEdit && (event->matches(QKeySequence::InsertParagraphSeparator) || event->matches(QKeySequence::InsertLineSeparator)))
        return QString(QChar::ParagraphSeparator);
    QString text = event->text();
    if (text.isEmpty() || event->key() == Qt::Key_Backspace)
        return QString();
    for (int key = QKeySequence::HelpContents; key <= QKeySequence::Cancel; ++key)
        if (event->matches(QKeySequence::StandardKey(key)))
            return QString();
    const QChar c = text.front();
    if (c.category() == QChar::Other_Format)
        return text;
    if (event->modifiers() == Qt::ControlModifier || event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier))
        return QString();
    if (c.isPrint() || c.category() == QChar::Other_PrivateUse || (textEdit && c == QLatin1Char('\t'))
        || (c.isHighSurrogate() && text.size() > 1 && text[1].isLowSurrogate()))
        return text;
    return QString();
}

// Where a key types more than the room takes: what fits of it, up to a
// whole character (empty when nothing does). None when the key goes to the
// box as it is.
std::optional<QString> FitTyped(const QKeyEvent* key, bool textEdit, qsizetype room)
{
    const QString typed = Typed(key, textEdit);
    if (typed.isNull() || typed.size() <= room)
        return std::nullopt;
    return FitWhole(typed, room);
}

// The key again, typing the given text.
QKeyEvent Typing(const QKeyEvent& key, const QString& text)
{
    return QKeyEvent(key.type(), key.key(), key.modifiers(), key.nativeScanCode(), key.nativeVirtualKey(),
                     key.nativeModifiers(), text, key.isAutoRepeat(), key.count());
}

// Qt cuts what goes into a line edit at its length in UTF-16 units; a
// change that would leave half a character is refused here, and Qt then
// takes it back whole, its undo history with it.
class WholeCharacters : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& /*pos*/) const override { return input.isValidUtf16() ? Acceptable : Invalid; }
};

// What goes into a line edit by a way that Qt would cut inside a character
// is put in here instead, up to the character before: the keyboard's paste,
// the context menu's, a middle-click, a drop, an input method's commit and
// a key typing more than fits.
class LineInput : public QObject {
public:
    explicit LineInput(QLineEdit* box)
        : QObject(box)
        , m_box(box)
    {
        box->installEventFilter(this);
        // An editable combo takes the keys, the menu and the input method of
        // its box and hands them on past the box's filters.
        if (auto* combo = qobject_cast<QComboBox*>(box->parentWidget()); combo && combo->lineEdit() == box)
            combo->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_box && watched != m_box->parentWidget())
            return false;
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste))
            return PasteWhole(QGuiApplication::clipboard()->text(), false);
        if (event->type() == QEvent::KeyPress && !m_forwarding)
            return TypeWhole(static_cast<QKeyEvent*>(event), watched);
        if (event->type() == QEvent::MouseButtonRelease && watched == m_box
            && static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection())
            return PasteWhole(QGuiApplication::clipboard()->text(QClipboard::Selection), true);
        if (event->type() == QEvent::Drop && watched == m_box && !m_forwarding)
            return DropWhole(static_cast<QDropEvent*>(event));
        if (event->type() == QEvent::InputMethod && !m_box->isReadOnly()) {
            auto* input = static_cast<QInputMethodEvent*>(event);
            const qsizetype length = m_box->text().size() - m_box->selectedText().size();
            const qsizetype at = m_box->hasSelectedText() ? m_box->selectionStart() : m_box->cursorPosition();
            FitCommit(input, input->commitString(), Room(false) + Replaced(input, at, length));
            return false;
        }
        if (event->type() == QEvent::ContextMenu
            && static_cast<QWidget*>(watched)->contextMenuPolicy() == Qt::DefaultContextMenu) {
            QMenu* menu = m_box->createStandardContextMenu();
            for (QAction* action : menu->actions()) {
                // The menu's paste is the action that calls the box's paste
                // (by name in Qt 6.4, by pointer in later versions).
                if (disconnect(action, nullptr, m_box, SLOT(paste()))
                    || disconnect(action, &QAction::triggered, m_box, &QLineEdit::paste))
                    connect(action, &QAction::triggered, m_box, [this] {
                        if (!PasteWhole(QGuiApplication::clipboard()->text(), false))
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
    // Units left, the selection counted as room unless it stays.
    qsizetype Room(bool selectionStays) const
    {
        return m_box->maxLength() - m_box->text().size() + (selectionStays ? 0 : m_box->selectedText().size());
    }
    // True when the paste was done here. A middle-click pastes beside the
    // selection, which Qt takes away first; a paste replaces it.
    bool PasteWhole(const QString& clip, bool besideSelection)
    {
        if (m_box->isReadOnly())
            return false;
        const qsizetype room = Room(besideSelection);
        const QString fit = FitWhole(clip, room);
        // Where nothing fits, the text and the selection stay as they were.
        if (fit.isEmpty() && !clip.isEmpty())
            return true;
        if (!rt::SplitsCharacter(clip, room))
            return false;
        if (besideSelection)
            m_box->deselect();
        // Qt keeps a paste apart from the typing around it in the undo
        // history; moving the cursor does the same here.
        EndTypingRun();
        m_box->insert(fit);
        EndTypingRun();
        return true;
    }
    // True when the drop was dealt with here: what fits is dropped as Qt
    // drops it, where the pointer is.
    bool DropWhole(QDropEvent* drop)
    {
        if (m_box->isReadOnly() || !drop->mimeData()->hasText())
            return false;
        const QString text = drop->mimeData()->text();
        const qsizetype room = Room(true);
        const QString fit = FitWhole(text, room);
        if (fit.isEmpty() && !text.isEmpty()) {
            drop->ignore();
            return true;
        }
        if (!rt::SplitsCharacter(text, room))
            return false;
        QMimeData cut;
        cut.setText(fit);
        QDropEvent whole(drop->position(), drop->possibleActions(), &cut, drop->buttons(), drop->modifiers());
        whole.setDropAction(drop->dropAction());
        m_forwarding = true;
        QCoreApplication::sendEvent(m_box, &whole);
        m_forwarding = false;
        drop->setDropAction(whole.dropAction());
        drop->setAccepted(whole.isAccepted());
        return true;
    }
    // True when the key was dealt with here: of a typed text longer than
    // the room, what fits is typed. Deciding before Qt takes the key keeps
    // a refused character from costing the redo steps.
    bool TypeWhole(QKeyEvent* key, QObject* watched)
    {
        const auto fit = m_box->isReadOnly() ? std::nullopt : FitTyped(key, false, Room(false));
        if (!fit)
            return false;
        key->accept();
        if (fit->isEmpty())
            return true;   // nothing changes, the selection included
        QKeyEvent cut = Typing(*key, *fit);
        m_forwarding = true;
        QCoreApplication::sendEvent(watched, &cut);
        m_forwarding = false;
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
    bool m_forwarding = false;   // a drop or key of ours on its way to the box
};

// A text edit takes a CR LF as one line break.
QString AsInserted(const QString& text)
{
    return text.contains(QLatin1String("\r\n")) ? QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")) : text;
}

} // namespace

void HoldToLength(QLineEdit* box, int units)
{
    box->setMaxLength(units);
    box->setValidator(new WholeCharacters(box));
    new LineInput(box);
}

void SetLoadedText(QLineEdit* box, const QString& text)
{
    if (box->maxLength() < text.size())
        box->setMaxLength(int(text.size()));
    box->setText(text);
}

HeldTextEdit::HeldTextEdit(int units, QWidget* parent)
    : QPlainTextEdit(parent)
    , m_units(units)
{
}

void HeldTextEdit::setLoadedText(const QString& text)
{
    m_loaded = text.size();
    setPlainText(text);
    // As the box holds it: a CR LF line break is one unit there.
    m_loaded = toPlainText().size();
}

qsizetype HeldTextEdit::room(const QInputMethodEvent* input) const
{
    const QTextCursor at = textCursor();
    const qsizetype kept = toPlainText().size() - (at.selectionEnd() - at.selectionStart());
    return std::max<qsizetype>(m_units, m_loaded) - kept + (input ? Replaced(input, at.selectionStart(), kept) : 0);
}

void HeldTextEdit::keyPressEvent(QKeyEvent* event)
{
    const auto fit = isReadOnly() ? std::nullopt : FitTyped(event, true, room());
    if (!fit) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (fit->isEmpty())
        return;   // nothing changes, the selection included
    QKeyEvent cut = Typing(*event, *fit);
    QPlainTextEdit::keyPressEvent(&cut);
}

void HeldTextEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (!isReadOnly())
        FitCommit(event, AsInserted(event->commitString()), room(event));
    QPlainTextEdit::inputMethodEvent(event);
}

// Every paste comes here (keys, the context menu, a middle-click, code), as
// does a drop.
void HeldTextEdit::insertFromMimeData(const QMimeData* source)
{
    const QString text = AsInserted(source->text());
    const qsizetype space = room();
    if (text.size() <= space) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    const QString fit = FitWhole(text, space);
    if (fit.isEmpty())
        return;   // nothing changes, the selection included
    QMimeData cut;
    cut.setText(fit);
    QPlainTextEdit::insertFromMimeData(&cut);
}

// Qt moves the cursor to the drop point before it asks for the text, so a
// drop where nothing fits is refused here, while the selection stands.
void HeldTextEdit::dropEvent(QDropEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (!isReadOnly() && data->hasText()) {
        const QString text = AsInserted(data->text());
        const QTextCursor at = textCursor();
        // A drop beside the selection leaves it; a move within the box
        // takes it away first.
        const bool moved = event->source() == viewport() && event->dropAction() == Qt::MoveAction;
        const qsizetype space = room() - (moved ? 0 : at.selectionEnd() - at.selectionStart());
        if (!text.isEmpty() && FitWhole(text, space).isEmpty()) {
            // Handed on without text, it ends the drag's marker and drops nothing.
            QMimeData none;
            QDropEvent refused(event->position(), event->possibleActions(), &none, event->buttons(), event->modifiers());
            QPlainTextEdit::dropEvent(&refused);
            event->ignore();
            return;
        }
    }
    QPlainTextEdit::dropEvent(event);
}
