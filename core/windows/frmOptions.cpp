#include "frmOptions.h"

#include "Database.h"
#include "Dialogs.h"
#include "EnterOnButtons.h"
#include "Forms.h"
#include "MaskEdBox.h"
#include "Options.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"
#include "WindowDialogs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

// Inside the main window the child frame must close too, or an empty frame stays.
void closeWindow(QWidget* w)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget()))
        sub->close();
    else
        w->close();
}

void setColors(QWidget* w, const QColor& text, const QColor& back)
{
    QPalette pal = w->palette();
    if (text.isValid())
        pal.setColor(QPalette::WindowText, text);
    if (back.isValid())
        pal.setColor(QPalette::Window, back);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

void setFamily(QWidget* w, const QString& family)
{
    QFont f = w->font();
    f.setFamily(family);
    w->setFont(f);
}

} // namespace

QColor frmOptions::ColorFromNumber(double number)
{
    const qint64 n = static_cast<qint64>(number);
    return QColor(int(n & 0xFF), int((n >> 8) & 0xFF), int((n >> 16) & 0xFF));
}

double frmOptions::NumberFromColor(const QColor& color)
{
    return color.red() + color.green() * 256.0 + color.blue() * 65536.0;
}

frmOptions::Prefs frmOptions::currentPrefs()
{
    return Prefs{dRookie1, dRookie2, dRookie3, dChallenge, dHeadache, dPole, dUnderdog, dHard,
                 dBC1, dBC2, dTC, dTFC, dBFC, dBB, sTFN, sBFN, nTFS, nBFS, bLines, sHtmlExt, bUseStyle};
}

void frmOptions::restorePrefs(const Prefs& p)
{
    dRookie1 = p.rookie1;
    dRookie2 = p.rookie2;
    dRookie3 = p.rookie3;
    dChallenge = p.challenge;
    dHeadache = p.headache;
    dPole = p.pole;
    dUnderdog = p.underdog;
    dHard = p.hard;
    dBC1 = p.bc1;
    dBC2 = p.bc2;
    dTC = p.tc;
    dTFC = p.tfc;
    dBFC = p.bfc;
    dBB = p.bb;
    sTFN = p.tfn;
    sBFN = p.bfn;
    nTFS = p.tfs;
    nBFS = p.bfs;
    bLines = p.lines;
    sHtmlExt = p.htmlExt;
    bUseStyle = p.useStyle;
}

frmOptions::frmOptions(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Preferences"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    auto named = [](QWidget* w, const QString& name) {
        w->setObjectName(name);
        return w;
    };

    // HTML settings ---------------------------------------------------------
    auto* frame3 = new QGroupBox(QStringLiteral("HTML Settings"), this);
    frame3->setObjectName(QStringLiteral("Frame3"));
    auto* grid = new QGridLayout;
    auto label2 = [&](int index, const QString& caption) {
        auto* l = new QLabel(caption, frame3);
        named(l, QStringLiteral("Label2_%1").arg(index));
        return l;
    };
    grid->addWidget(label2(0, QStringLiteral("Font")), 0, 1, Qt::AlignCenter);
    grid->addWidget(label2(4, QStringLiteral("Font Color")), 0, 2, Qt::AlignCenter);
    grid->addWidget(label2(5, QStringLiteral("Back Color")), 0, 3, Qt::AlignCenter);
    grid->addWidget(label2(2, QStringLiteral("Title:")), 1, 0);
    grid->addWidget(label2(3, QStringLiteral("Body:")), 2, 0);
    auto select = [&](int index, int row, int col) {
        auto* b = new QPushButton(QStringLiteral("Select"), frame3);
        named(b, QStringLiteral("Command2_%1").arg(index));
        connect(b, &QPushButton::clicked, this, [this, index] { RunGuarded([&] { Select(index); }); });
        grid->addWidget(b, row, col);
    };
    select(0, 1, 1);
    select(3, 1, 2);
    select(6, 1, 3);
    select(1, 2, 1);
    select(4, 2, 2);
    select(7, 2, 3);
    select(2, 3, 3);

    m_check1 = new QCheckBox(QStringLiteral("Add Horizontal Lines"), frame3);
    m_check1->setObjectName(QStringLiteral("Check1"));
    connect(m_check1, &QCheckBox::toggled, this, [this] { RunGuarded([&] { Check1_Click(); }); });
    grid->addWidget(m_check1, 4, 0, 1, 4);

    auto* extRow = new QHBoxLayout;
    extRow->addWidget(label2(1, QStringLiteral("Extension:")));
    m_ext = new QLineEdit(frame3);
    m_ext->setObjectName(QStringLiteral("Text1"));
    m_ext->setMaximumWidth(60);
    extRow->addWidget(m_ext);
    extRow->addStretch();
    grid->addLayout(extRow, 5, 0, 1, 4);

    m_check2 = new QCheckBox(QStringLiteral("Include CSS Styles in File"), frame3);
    m_check2->setObjectName(QStringLiteral("Check2"));
    // Esc cancels from every control but these two.
    m_ext->installEventFilter(this);
    m_check2->installEventFilter(this);
    grid->addWidget(m_check2, 6, 0, 1, 4);

    // Sample area: title, then two groups of three body lines; the frame
    // behind each group shows through the gaps as separator lines.
    auto* shape1 = new QFrame(frame3);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setFrameShape(QFrame::Box);
    setColors(shape1, QColor(), Qt::white);
    auto* sample = new QVBoxLayout(shape1);
    sample->setContentsMargins(8, 8, 8, 8);
    sample->setSpacing(0);
    m_title = new QLabel(QStringLiteral("TITLE Sample"), shape1);
    m_title->setObjectName(QStringLiteral("HD"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_title->setMargin(3);
    sample->addWidget(m_title);
    auto group = [&](const QString& name, int first) {
        auto* shape = new QFrame(shape1);
        shape->setObjectName(name);
        auto* lay = new QVBoxLayout(shape);
        lay->setContentsMargins(0, 2, 0, 2);
        lay->setSpacing(2);
        for (int i = first; i < first + 3; ++i) {
            auto* bo = new QLabel(QStringLiteral("Body Sample 1234567890"), shape);
            bo->setObjectName(QStringLiteral("BO_%1").arg(i));
            bo->setMargin(2);
            m_body[i] = bo;
            lay->addWidget(bo);
        }
        sample->addWidget(shape);
        return shape;
    };
    m_shape2 = group(QStringLiteral("Shape2"), 0);
    m_shape3 = group(QStringLiteral("Shape3"), 3);
    sample->addStretch();

    auto* htmlRow = new QHBoxLayout(frame3);
    htmlRow->addLayout(grid);
    htmlRow->addWidget(shape1, 1);

    // Award amounts -------------------------------------------------------------
    auto* frame1 = new QGroupBox(QStringLiteral("Bonus Earnings"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* amounts = new QGridLayout(frame1);
    const QString captions[8] = {
        QStringLiteral("Rookie of the race 1st"), QStringLiteral("Rookie of the race 2nd"),
        QStringLiteral("Rookie of the race 3rd"), QStringLiteral("Challenge"),
        QStringLiteral("Headache"), QStringLiteral("Hard Charger"),
        QStringLiteral("Underdog"), QStringLiteral("Pole winner"),
    };
    for (int i = 0; i < 8; ++i) {
        auto* l = new QLabel(captions[i], frame1);
        l->setObjectName(QStringLiteral("Label1_%1").arg(i));
        auto* box = new MaskEdBox(frame1);
        box->setObjectName(QStringLiteral("MaskEdBox1_%1").arg(i));
        box->setFormat(QString::fromLatin1(rt::kAmountFormat));
        l->setBuddy(box);
        m_amounts[i] = box;
        const int col = i < 4 ? 0 : 2;
        amounts->addWidget(l, i % 4, col);
        amounts->addWidget(box, i % 4, col + 1);
    }

    // Buttons ---------------------------------------------------------------------
    auto* buttons = new QWidget(this);
    buttons->setObjectName(QStringLiteral("picButtons"));
    auto* line = new QFrame(buttons);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* ok = new QPushButton(QStringLiteral("&Ok"), buttons);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { RunGuarded([&] { cmdOk_Click(); }); });
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), buttons);
    cancel->setObjectName(QStringLiteral("Command3"));
    connect(cancel, &QPushButton::clicked, this, [this] { RunGuarded([&] { cmdCancel_Click(); }); });
    auto* btnCol = new QVBoxLayout(buttons);
    btnCol->setContentsMargins(0, 0, 0, 0);
    btnCol->addWidget(line);
    auto* btnRow = new QHBoxLayout;
    btnRow->addStretch();
    btnRow->addWidget(ok);
    btnRow->addWidget(cancel);
    btnCol->addLayout(btnRow);

    // A button with the focus takes Enter itself; from anywhere else Enter
    // presses "&Ok" (see keyPressEvent).
    PressButtonsOnEnter(this);

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(frame3);
    lay->addWidget(frame1);
    lay->addWidget(buttons);

    // What the preferences were before the window opened: any closing but
    // "&Ok" puts them back.
    m_before = currentPrefs();
    LoadOptions();
    fillFromPreferences();
}

void frmOptions::fillFromPreferences()
{
    const double values[8] = {dRookie1, dRookie2, dRookie3, dChallenge, dHeadache, dHard, dUnderdog, dPole};
    for (int i = 0; i < 8; ++i)
        m_amounts[i]->setText(rt::Str(values[i]));
    paintTitleSample();
    paintBodySamples();
    {
        const QSignalBlocker block(m_check1);
        m_check1->setChecked(bLines);
    }
    Check1_Click();
    m_ext->setText(sHtmlExt);
    m_check2->setChecked(bUseStyle);
}

void frmOptions::paintTitleSample()
{
    setColors(m_title, ColorFromNumber(dTFC), ColorFromNumber(dTC));
    setFamily(m_title, sTFN);
}

void frmOptions::paintBodySamples()
{
    for (int i = 0; i < 6; ++i) {
        setColors(m_body[i], ColorFromNumber(dBFC), ColorFromNumber(i < 3 ? dBC1 : dBC2));
        setFamily(m_body[i], sBFN);
    }
}

void frmOptions::Check1_Click()
{
    if (m_check1->isChecked()) {
        setColors(m_shape2, QColor(), ColorFromNumber(dTC));
        setColors(m_shape3, QColor(), ColorFromNumber(dTC));
    } else {
        setColors(m_shape2, QColor(), ColorFromNumber(dBC1));
        setColors(m_shape3, QColor(), ColorFromNumber(dBC2));
    }
}

void frmOptions::Select(int index)
{
    if (index == 0 || index == 1) {
        QString& name = index == 0 ? sTFN : sBFN;
        int& size = index == 0 ? nTFS : nBFS;
        QFont font(name);
        if (size > 0)
            font.setPointSize(size);
        if (!dlg::ChooseFont(this, font))
            return;
        name = font.family();
        size = static_cast<int>(std::lround(font.pointSizeF() > 0 ? font.pointSizeF() : font.pointSize()));
        if (index == 0)
            paintTitleSample();
        else
            paintBodySamples();
        return;
    }

    double* target = nullptr;
    switch (index) {
    case 2: target = &dBC2; break;
    case 3: target = &dTFC; break;
    case 4: target = &dBFC; break;
    case 6: target = &dTC; break;
    case 7: target = &dBC1; break;
    default: return;
    }
    QColor color = ColorFromNumber(*target);
    if (!dlg::ChooseColor(this, color) || !color.isValid())
        return;
    *target = NumberFromColor(color);
    paintTitleSample();
    paintBodySamples();
    Check1_Click();
}

void frmOptions::save()
{
    double amounts[8];
    for (int i = 0; i < 8; ++i) {
        if (!m_amounts[i]->Value(amounts[i])) {
            const auto* label = findChild<QLabel*>(QStringLiteral("Label1_%1").arg(i));
            dlg::MsgBox(QStringLiteral("The amount for %1 is not a valid number.").arg(label->text()), dlg::vbCritical);
            m_amounts[i]->setFocus();
            m_amounts[i]->selectAll();
            return;
        }
    }

    dao::Transaction transaction(*dbMain);
    try {
        sSQL = QStringLiteral("SELECT * FROM Options WHERE Key = '1'");
        rsTemp = dbMain->openRecordset(sSQL);
        rsTemp->edit();
        const char* const amountColumns[8] = {"Rookie1", "Rookie2", "Rookie3", "Challenge",
                                              "Headache", "Hard", "Underdog", "Pole"};
        for (int i = 0; i < 8; ++i)
            rsTemp->setField(QString::fromLatin1(amountColumns[i]), amounts[i]);
        rsTemp->setField(QStringLiteral("BC1"), QString::number(static_cast<qint64>(dBC1)));
        rsTemp->setField(QStringLiteral("BC2"), QString::number(static_cast<qint64>(dBC2)));
        rsTemp->setField(QStringLiteral("TC"), static_cast<qint64>(dTC));
        rsTemp->setField(QStringLiteral("TFC"), QString::number(static_cast<qint64>(dTFC)));
        rsTemp->setField(QStringLiteral("BFC"), static_cast<qint64>(dBFC));
        rsTemp->setField(QStringLiteral("TFN"), sTFN);
        rsTemp->setField(QStringLiteral("TFS"), nTFS);
        rsTemp->setField(QStringLiteral("BFN"), sBFN);
        rsTemp->setField(QStringLiteral("BFS"), nBFS);
        rsTemp->setField(QStringLiteral("Lines"), m_check1->isChecked());
        rsTemp->update();

        sSQL = QStringLiteral("SELECT * FROM Options WHERE Key = '3'");
        rsTemp = dbMain->openRecordset(sSQL);
        rsTemp->edit();
        rsTemp->setField(QStringLiteral("TFC"), m_ext->text());
        rsTemp->setField(QStringLiteral("Lines"), m_check2->isChecked());
        rsTemp->update();
        rsTemp.reset();
        transaction.commit();
    } catch (...) {
        // Closed before the transaction rolls back on the way out.
        rsTemp.reset();
        throw;
    }

    LoadOptions();
    m_saved = true;
    closeWindow(this);
}

void frmOptions::cmdOk_Click()
{
    save();
}

void frmOptions::cmdCancel_Click()
{
    closeWindow(this);
}

void frmOptions::showEvent(QShowEvent* event)
{
    // At the top-left corner of the main window's working area.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->move(0, 0);
    QWidget::showEvent(event);
}

void frmOptions::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        RunGuarded([&] { cmdCancel_Click(); });
        return;
    }
    // A plain window has no default button of its own: Enter that no
    // control took presses "&Ok".
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        RunGuarded([&] { cmdOk_Click(); });
        return;
    }
    QWidget::keyPressEvent(event);
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_ext || watched == m_check2) && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        return true;
    return QWidget::eventFilter(watched, event);
}

void frmOptions::closeEvent(QCloseEvent* event)
{
    // Restored once, however many close events arrive.
    if (!m_saved) {
        restorePrefs(m_before);
        m_saved = true;
    }
    event->accept();
}
