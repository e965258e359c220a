#include "Division.h"

#include "Database.h"
#include "Recordset.h"
#include "State.h"

static std::unique_ptr<dao::Recordset> openDivision(const QString& sID)
{
    return dbMain->openRecordset(QStringLiteral("SELECT * FROM Division WHERE ID = ") + dao::quote(sID));
}

void Division::Load(const QString& sID)
{
    auto rs = openDivision(sID);
    if (rs->eof()) {
        Found = false;
        return;
    }
    Found = true;
    ID = rs->text(QStringLiteral("ID"));
    Name = rs->text(QStringLiteral("Name"));
    Numbers = rs->flag(QStringLiteral("Numbers"));
    Brands = rs->flag(QStringLiteral("Brands"));
    Teams = int(rs->integer(QStringLiteral("Teams")));
    Roty = rs->flag(QStringLiteral("Roty"));
    Earnings = rs->flag(QStringLiteral("Earnings"));
    EarningsFile = rs->text(QStringLiteral("EarningsFile"));
    PointSystem = int(rs->integer(QStringLiteral("PointSystem")));
    PointSystemFile = rs->text(QStringLiteral("PointSystemFile"));
    Drop = int(rs->integer(QStringLiteral("Drop")));
}

// The members that Add and Update write, ID aside.
static void writeMembers(const Division& d, dao::Recordset& rs)
{
    rs.setField(QStringLiteral("Name"), d.Name);
    rs.setField(QStringLiteral("Numbers"), d.Numbers);
    rs.setField(QStringLiteral("Brands"), d.Brands);
    rs.setField(QStringLiteral("Teams"), d.Teams);
    rs.setField(QStringLiteral("Roty"), d.Roty);
    rs.setField(QStringLiteral("Earnings"), d.Earnings);
    // Both file columns are required: an empty member is stored as "".
    rs.setField(QStringLiteral("EarningsFile"), d.EarningsFile.isNull() ? QStringLiteral("") : d.EarningsFile);
    rs.setField(QStringLiteral("PointSystem"), d.PointSystem);
    rs.setField(QStringLiteral("PointSystemFile"), d.PointSystemFile.isNull() ? QStringLiteral("") : d.PointSystemFile);
    rs.setField(QStringLiteral("Drop"), d.Drop);
}

void Division::Add()
{
    auto rs = dbMain->openRecordset(QStringLiteral("Division"));
    rs->addNew();
    rs->setField(QStringLiteral("ID"), ID);
    writeMembers(*this, *rs);
    rs->update();
}

void Division::Update(const QString& sID)
{
    auto rs = openDivision(sID);
    rs->edit();
    writeMembers(*this, *rs);
    rs->update();
}
