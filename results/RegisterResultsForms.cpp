#include "RegisterResultsForms.h"

#include "FormRegistry.h"
#include "frmAddDamage.h"
#include "frmBonusAdd.h"
#include "frmEditIncident.h"
#include "frmEditRace.h"
#include "frmListRaces.h"
#include "frmRaceResult.h"
#include "frmRaces.h"

void RegisterResultsForms()
{
    RegisterForm(QStringLiteral("frmListRaces"), [] { return static_cast<QWidget*>(new frmListRaces); });
    RegisterForm(QStringLiteral("frmRaces"), [] { return static_cast<QWidget*>(new frmRaces); });
    RegisterForm(QStringLiteral("frmRaceResult"), [] { return static_cast<QWidget*>(new frmRaceResult); });
    RegisterForm(QStringLiteral("frmEditRace"), [] { return static_cast<QWidget*>(new frmEditRace); });
    RegisterForm(QStringLiteral("frmBonusAdd"), [] { return static_cast<QWidget*>(new frmBonusAdd); });
    RegisterForm(QStringLiteral("frmEditIncident"), [] { return static_cast<QWidget*>(new frmEditIncident); });
    RegisterForm(QStringLiteral("frmAddDamage"), [] { return static_cast<QWidget*>(new frmAddDamage); });
}
