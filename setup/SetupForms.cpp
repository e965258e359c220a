#include "SetupForms.h"

#include "FormRegistry.h"
#include "frmList.h"

void RegisterSetupForms()
{
    RegisterForm(QStringLiteral("frmList"), [] { return new frmList(); });
}
