#include "frmProcess.h"

#include "Database.h"
#include "Dialogs.h"
#include "EnterOnButtons.h"
#include "FormRegistry.h"
#include "LookupControls.h"
#include "Lookups.h"
#include "ProcessClass.h"
#include "Recordset.h"
#include "Runtime.h"
#include "Settings.h"
#include "State.h"
#include "TypedNames.h"
#include "WindowDialogs.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include <memory>

namespace {

constexpr double kTwips = 15.0;
QRect Twips(int left, int top, int width, int height)
{
    return QRect(qRound(left / kTwips), qRound(top / kTwips), qRound(width / kTwips), qRound(height / kTwips));
}

const QChar kRegistered(0x00AE);

} // namespace

frmProcess::frmProcess(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmProcess"));
    setWindowTitle(QStringLiteral("Import Standings"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(qRound(5250 / kTwips), qRound(2880 / kTwips));

    auto label = [this](const char* name, const QString& text, QRect r) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(r);
        return l;
    };
    label("Label1", QStringLiteral("Division"), Twips(120, 210, 855, 255));
    label("Label2", QStringLiteral("Race No."), Twips(120, 630, 855, 255));
    label("Label4", QStringLiteral("Track"), Twips(120, 1155, 855, 255));
    label("Label3", QStringLiteral("File"), Twips(120, 1575, 855, 255));

    DivName = new QComboBox(this);
    DivName->setObjectName(QStringLiteral("DivName"));
    DivName->setGeometry(Twips(1080, 120, 2655, 315));
    Race = new QLineEdit(this);
    Race->setObjectName(QStringLiteral("Race"));
    Race->setGeometry(Twips(1080, 600, 855, 285));
    Tracks = new QComboBox(this);
    Tracks->setObjectName(QStringLiteral("Tracks"));
    Tracks->setEditable(true);
    Tracks->setInsertPolicy(QComboBox::NoInsert);
    CompleteWithoutReplacingNames(Tracks);
    Tracks->setGeometry(Twips(1080, 1080, 2655, 315));
    STNFile = new QLineEdit(this);
    STNFile->setObjectName(QStringLiteral("STNFile"));
    STNFile->setGeometry(Twips(1080, 1560, 2655, 285));
    Command_Browse = new QPushButton(QStringLiteral("&Browse"), this);
    Command_Browse->setObjectName(QStringLiteral("Command_Browse"));
    Command_Browse->setGeometry(Twips(3780, 1530, 960, 360));
    Check1 = new QCheckBox(QStringLiteral("Money Only"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(Twips(945, 2100, 1800, 225));
    Check2 = new QCheckBox(QStringLiteral("Laps in Speed"), this);
    Check2->setObjectName(QStringLiteral("Check2"));
    Check2->setGeometry(Twips(2730, 2100, 1905, 225));
    Command_Process = new QPushButton(QStringLiteral("&Process"), this);
    Command_Process->setObjectName(QStringLiteral("Command_Process"));
    Command_Process->setGeometry(Twips(1260, 2505, 960, 330));
    Command_Process->setDefault(true);
    Command_Cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    Command_Cancel->setObjectName(QStringLiteral("Command_Cancel"));
    Command_Cancel->setGeometry(Twips(2940, 2505, 960, 330));

    setTabOrder(DivName, Race);
    setTabOrder(Race, Tracks);
    setTabOrder(Tracks, STNFile);
    setTabOrder(STNFile, Command_Browse);
    setTabOrder(Command_Browse, Check1);
    setTabOrder(Check1, Check2);
    setTabOrder(Check2, Command_Process);
    setTabOrder(Command_Process, Command_Cancel);

    for (QWidget* w : std::initializer_list<QWidget*>{DivName, Race, Tracks, STNFile, Command_Browse, Check1, Check2,
                                                     Command_Process, Command_Cancel})
        w->installEventFilter(this);
    Tracks->lineEdit()->installEventFilter(this);
    // Installed last, so a focused button takes Enter before the window's
    // own filter gives it to "&Process".
    PressButtonsOnEnter(this);

    m_startFolder = settings::GetSetting(QStringLiteral("Tarvik"), QStringLiteral("Params"), QStringLiteral("STNFile"));
    if (m_startFolder.isEmpty())
        m_startFolder = rt::AppFile(QStringLiteral("STN")) + QLatin1Char('/');
    sStnPath.clear();

    try {
        FillDivisionNames(DivName);
        DivName->setCurrentIndex(-1);

        auto rs = dbMain->openRecordset(QStringLiteral("SELECT * from Tracks ORDER BY ID"));
        for (; !rs->eof(); rs->moveNext())
            Tracks->addItem(rs->text(QStringLiteral("ShortName")));
    } catch (const dao::DbError& e) {
        dlg::MsgBox(e.description(), dlg::vbCritical);
    }
    Tracks->setCurrentIndex(-1);
    Tracks->setEditText(QStringLiteral("Track"));

    connect(DivName, qOverload<int>(&QComboBox::activated), this, &frmProcess::DivName_Click);
    connect(Race, &QLineEdit::textChanged, this, &frmProcess::Race_Change);
    connect(STNFile, &QLineEdit::editingFinished, this, &frmProcess::STNFile_Change);
    connect(Command_Browse, &QPushButton::clicked, this, &frmProcess::Command_Browse_Click);
    connect(Command_Process, &QPushButton::clicked, this, &frmProcess::Command_Process_Click);
    connect(Command_Cancel, &QPushButton::clicked, this, &frmProcess::Command_Cancel_Click);

    // A division chosen in another window is where the race will go: show it.
    if (!sCurDiv.isEmpty()) {
        for (int i = 0; i < DivName->count(); ++i) {
            if (DivName->itemData(i).toString().compare(sCurDiv, Qt::CaseInsensitive) == 0) {
                DivName->setCurrentIndex(i);
                DivName_Click(i);
                break;
            }
        }
    }
}

void frmProcess::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    // A quarter of the spare height down, centred across.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        if (QMdiArea* area = sub->mdiArea())
            sub->move(qMax(0, (area->width() - sub->width()) / 2), qMax(0, (area->height() - sub->height()) / 4));
    }
}

void frmProcess::DivName_Click(int index)
{
    if (index < 0 || index >= DivName->count())
        return;
    sCurDiv = DivName->itemData(index).toString();
    if (sCurDiv.isEmpty())
        return;
    try {
        sSQL = QStringLiteral("SELECT MAX(val(RaceNo))as LastRace FROM Races INNER JOIN Score ON Races.ID = Score.RaceID "
                              "WHERE Races.Division = ")
            + dao::quote(sCurDiv);
        const QVariant last = dbMain->scalar(sSQL);
        Race->setText(last.isNull() ? QStringLiteral("1") : rt::Str(rt::Val(last) + 1));
    } catch (const dao::DbError& e) {
        dlg::MsgBox(e.description(), dlg::vbCritical);
    }
}

void frmProcess::Race_Change()
{
    const QString text = Race->text();
    if (!rt::IsNumeric(text))
        dlg::MsgBox(QStringLiteral("Race Number must be numeric"), dlg::vbCritical);
    const QString trimmed = rt::Trim(text);
    if (trimmed != text)
        Race->setText(trimmed);
}

QString frmProcess::PagePath(const QString& typed) const
{
    if (typed.isEmpty())
        return QString();
    if (QFileInfo(typed).isAbsolute())
        return typed;
    // The name the file dialog gave back stands for the page it chose.
    if (!sStnPath.isEmpty() && QFileInfo(sStnPath).fileName() == typed)
        return sStnPath;
    const QString folder = sStnPath.isEmpty() ? m_startFolder : QFileInfo(sStnPath).absolutePath();
    return QDir(folder).filePath(typed);
}

void frmProcess::STNFile_Change()
{
    const QString typed = rt::Trim(STNFile->text());
    if (typed == m_pageShown)
        return;
    m_pageShown = typed;
    // The page the track is proposed from is the page that will be imported.
    sStnPath = PagePath(typed);
    if (typed.isEmpty())
        return;
    ReadTrackName(sStnPath);
    Tracks->setEditText(sShortName);
}

QString frmProcess::ReadTrackName(const QString& file)
{
    QStringList lines;
    if (!rt::ReadTextLines(file, lines)) {
        dlg::MsgBox(QStringLiteral("Unable to open file ") + file, dlg::vbCritical);
        return QString();
    }
    QString full;
    bool found = false;
    for (const QString& line : lines) {
        if (line.contains(QLatin1String("Track:"))) {
            const QString t = rt::Trim(line);
            const int c = t.indexOf(QLatin1Char(':')) + 1;
            full = rt::Mid(t, c + 2, 50);
            found = true;
            break;
        }
    }
    if (!found) {
        sShortName = QString::fromLatin1(kNotFound);
        return QString();
    }

    try {
        auto lookUp = [](const QString& name) {
            return dbMain->openRecordset(QStringLiteral("SELECT ShortName, FullName from Tracks WHERE FullName = ")
                                         + dao::quote(name) + QStringLiteral(" ORDER BY ID"));
        };
        auto rs = lookUp(full);
        if (rs->eof()) {
            const QString other = full.endsWith(kRegistered) ? full.left(full.size() - 1) : full + kRegistered;
            rs = lookUp(other);
        }
        sShortName = rs->eof() ? QString::fromLatin1(kNotFound) : rs->text(QStringLiteral("ShortName"));
    } catch (const dao::DbError& e) {
        dlg::MsgBox(e.description(), dlg::vbCritical);
    }
    return full;
}

qint64 frmProcess::GetTrackID(const QString& shortName)
{
    auto rs = dbMain->openRecordset(QStringLiteral("SELECT ID from Tracks WHERE ShortName = ") + dao::quote(shortName)
                                    + QStringLiteral(" ORDER BY ID"));
    return rs->eof() ? 0 : rs->integer(QStringLiteral("ID"));
}

void frmProcess::Command_Browse_Click()
{
    // The box's own change handler is kept out: sStnPath is set by the
    // dialog, and the box then shows only the file's name.
    const QSignalBlocker block(STNFile);
    if (!BrowseStnFile(this, STNFile, sStnPath.isEmpty() ? m_startFolder : QFileInfo(sStnPath).absolutePath()))
        return;
    m_pageShown = rt::Trim(STNFile->text());
    if (m_pageShown.isEmpty())
        return;
    ReadTrackName(sStnPath);
    Tracks->setEditText(sShortName);
}

void frmProcess::Command_Process_Click()
{
    STNFile_Change();   // a name typed but not yet left counts

    if (sCurDiv.isEmpty()) {
        dlg::MsgBox(QStringLiteral("Division must be entered"), dlg::vbCritical);
        DivName->setFocus();
        return;
    }
    const QString track = Tracks->currentText();
    qint64 trackId = 0;
    try {
        if (!track.isEmpty() && track != QLatin1String(kNotFound))
            trackId = GetTrackID(track);
    } catch (const dao::DbError& e) {
        dlg::MsgBox(e.description(), dlg::vbCritical);
        return;
    }
    if (trackId == 0) {
        dlg::MsgBox(QStringLiteral("Track must be entered"), dlg::vbCritical);
        Tracks->setFocus();
        return;
    }

    auto proc = std::make_unique<ProcessClass>();
    proc->RaceDivision = sCurDiv;
    proc->RaceNo = rt::Str(rt::Val(Race->text()));
    proc->MoneyOnly = Check1->isChecked();
    proc->stnFileName = sStnPath;
    proc->TrackID = trackId;
    proc->Speed = Check2->isChecked();
    proc->ProcRace();
    if (proc->bError) {
        STNFile->setFocus();
        return;
    }

    lSelID = proc->RaceID;
    nNewDrivers = static_cast<int>(proc->NewDrivers);
    proc.reset();
    if (nNewDrivers > 0)
        dlg::MsgBox(rt::SignedStr(nNewDrivers) + QStringLiteral(" driver(s) has been added to the Drivers Table."),
                    dlg::vbInformation);

    nAnswer = dlg::MsgBox(QStringLiteral("Process Complete!, do you want to review the race information?"),
                          dlg::vbYesNo | dlg::vbQuestion | dlg::vbDefaultButton2);
    if (nAnswer == dlg::vbYes) {
        bEditMode = true;
        std::unique_ptr<QWidget> editor(CreateForm(QStringLiteral("frmRaces")));
        if (editor)
            dlg::ExecDialog(editor.get());
    }
    CloseWindow();
}

void frmProcess::Command_Cancel_Click()
{
    CloseWindow();
}

void frmProcess::CloseWindow()
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

bool frmProcess::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        // Esc closes from the division, race number and file boxes and the buttons.
        if (watched == DivName || watched == Race || watched == STNFile || watched == Command_Browse
            || watched == Command_Process || watched == Command_Cancel) {
            Command_Cancel_Click();
            return true;
        }
        return false;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (watched == DivName && DivName->view()->isVisible())
            return false;
        Command_Process->click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
