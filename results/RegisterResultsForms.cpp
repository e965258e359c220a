#include "RegisterResultsForms.h"

#include "FormRegistry.h"
#include "frmListRaces.h"
#include "frmRaceResult.h"
#include "frmRaces.h"

void RegisterResultsForms()
{
    RegisterForm(QStringLiteral("frmListRaces"), [] { return static_cast<QWidget*>(new frmListRaces); });
    RegisterForm(QStringLiteral("frmRaces"), [] { return static_cast<QWidget*>(new frmRaces); });
    RegisterForm(QStringLiteral("frmRaceResult"), [] { return static_cast<QWidget*>(new frmRaceResult); });
}
