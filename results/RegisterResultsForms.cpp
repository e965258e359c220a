#include "RegisterResultsForms.h"

#include "FormRegistry.h"
#include "frmRaceResult.h"
#include "frmRaces.h"

void RegisterResultsForms()
{
    RegisterForm(QStringLiteral("frmRaces"), [] { return static_cast<QWidget*>(new frmRaces); });
    RegisterForm(QStringLiteral("frmRaceResult"), [] { return static_cast<QWidget*>(new frmRaceResult); });
}
