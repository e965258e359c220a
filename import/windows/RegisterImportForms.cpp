#include "RegisterImportForms.h"

#include "EarningsClass.h"
#include "FormRegistry.h"
#include "frmProcess.h"

void RegisterImportForms()
{
    InstallEarningsHooks();
    RegisterForm(QStringLiteral("frmProcess"), [] { return static_cast<QWidget*>(new frmProcess); });
}
