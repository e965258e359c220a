#include "Options.h"

#include "Database.h"
#include "Dialogs.h"
#include "Recordset.h"
#include "Runtime.h"
#include "State.h"

namespace {

constexpr double kWhite = 16777215;
constexpr double kNavy = 8388608;
const char* const kAwardColumns[] = {"Rookie1", "Rookie2", "Rookie3", "Challenge", "Headache", "Pole", "Underdog", "Hard"};

// A stored number; an absent value or a text that is no number reads as
// the default, so a damaged row never stops the program.
double storedNumber(const dao::Recordset& rs, const char* column, double fallback)
{
    const QVariant v = rs.field(QLatin1String(column));
    if (v.isNull())
        return fallback;
    if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray) {
        const QString t = v.toString();
        return rt::IsNumeric(t) ? rt::Val(t) : fallback;
    }
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? d : fallback;
}

QString storedText(const dao::Recordset& rs, const char* column, const QString& fallback)
{
    const QVariant v = rs.field(QLatin1String(column));
    const QString t = v.isNull() ? QString() : rt::Trim(v.toString());
    return t.isEmpty() ? fallback : t;
}

bool storedFlag(const dao::Recordset& rs, const char* column, bool fallback)
{
    const QVariant v = rs.field(QLatin1String(column));
    if (v.isNull())
        return fallback;
    if (v.typeId() == QMetaType::QString) {
        const QString t = v.toString().trimmed();
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        return rt::IsNumeric(t) ? rt::Val(t) != 0 : fallback;
    }
    return v.toDouble() != 0;
}

void setPageLookDefaults()
{
    dBC1 = dBC2 = dTFC = dBB = kWhite;
    dTC = kNavy;
    dBFC = 0;
    bLines = false;
    sTFN = sBFN = QStringLiteral("Arial");
    nTFS = nBFS = 10;
    dRookie1 = dRookie2 = dRookie3 = 0;
    dChallenge = dHeadache = dPole = dUnderdog = dHard = 0;
}

} // namespace

void LoadOptions()
{
    sSQL = QStringLiteral("SELECT * FROM Options WHERE Key = '1'");
    rsTemp = dbMain->openRecordset(sSQL);
    if (rsTemp->isEmpty()) {
        dlg::MsgBox(QStringLiteral("Preferences record will be created with default values"), dlg::vbOKOnly);
        rsTemp->addNew();
        rsTemp->setField(QStringLiteral("Key"), QStringLiteral("1"));
        rsTemp->setField(QStringLiteral("BC1"), QStringLiteral("16777215"));
        rsTemp->setField(QStringLiteral("BC2"), QStringLiteral("16777215"));
        rsTemp->setField(QStringLiteral("TC"), 8388608);
        rsTemp->setField(QStringLiteral("TFC"), QStringLiteral("16777215"));
        rsTemp->setField(QStringLiteral("BFC"), 0);
        rsTemp->setField(QStringLiteral("BB"), 16777215);
        rsTemp->setField(QStringLiteral("TFN"), QStringLiteral("Arial"));
        rsTemp->setField(QStringLiteral("TFS"), 10);
        rsTemp->setField(QStringLiteral("BFN"), QStringLiteral("Arial"));
        rsTemp->setField(QStringLiteral("BFS"), 10);
        rsTemp->setField(QStringLiteral("Lines"), false);
        // The awards start at 0 rather than without a value.
        for (const char* column : kAwardColumns)
            rsTemp->setField(QLatin1String(column), 0);
        rsTemp->update();
        setPageLookDefaults();
    } else {
        const dao::Recordset& rs = *rsTemp;
        dRookie1 = storedNumber(rs, "Rookie1", 0);
        dRookie2 = storedNumber(rs, "Rookie2", 0);
        dRookie3 = storedNumber(rs, "Rookie3", 0);
        dChallenge = storedNumber(rs, "Challenge", 0);
        dHeadache = storedNumber(rs, "Headache", 0);
        dPole = storedNumber(rs, "Pole", 0);
        dUnderdog = storedNumber(rs, "Underdog", 0);
        dHard = storedNumber(rs, "Hard", 0);
        dBC1 = storedNumber(rs, "BC1", kWhite);
        dBC2 = storedNumber(rs, "BC2", kWhite);
        dTC = storedNumber(rs, "TC", kNavy);
        dTFC = storedNumber(rs, "TFC", kWhite);
        dBFC = storedNumber(rs, "BFC", 0);
        dBB = storedNumber(rs, "BB", kWhite);
        sTFN = storedText(rs, "TFN", QStringLiteral("Arial"));
        nTFS = int(rt::RoundHalfEven(storedNumber(rs, "TFS", 10)));
        sBFN = storedText(rs, "BFN", QStringLiteral("Arial"));
        nBFS = int(rt::RoundHalfEven(storedNumber(rs, "BFS", 10)));
        bLines = storedFlag(rs, "Lines", false);
    }

    sSQL = QStringLiteral("SELECT * FROM Options WHERE Key = '3'");
    rsTemp = dbMain->openRecordset(sSQL);
    if (rsTemp->isEmpty()) {
        rsTemp->addNew();
        rsTemp->setField(QStringLiteral("Key"), QStringLiteral("3"));
        rsTemp->setField(QStringLiteral("TFC"), QStringLiteral("htm"));
        rsTemp->setField(QStringLiteral("Lines"), true);
        rsTemp->update();
        sHtmlExt = QStringLiteral("htm");
        bUseStyle = true;
    } else {
        sHtmlExt = storedText(*rsTemp, "TFC", QStringLiteral("htm"));
        bUseStyle = storedFlag(*rsTemp, "Lines", true);
    }
    rsTemp.reset();
}
