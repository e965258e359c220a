#include "RegisterResultsForms.h"

#include "FormRegistry.h"
#include "frmRaces.h"

void RegisterResultsForms()
{
    RegisterForm(QStringLiteral("frmRaces"), [] { return static_cast<QWidget*>(new frmRaces); });
}
