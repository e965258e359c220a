#include "RegisterImportForms.h"

#include "FormRegistry.h"
#include "frmProcess.h"

void RegisterImportForms()
{
    RegisterForm(QStringLiteral("frmProcess"), [] { return static_cast<QWidget*>(new frmProcess); });
}
