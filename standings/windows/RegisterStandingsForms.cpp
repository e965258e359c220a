#include "RegisterStandingsForms.h"

#include "FormRegistry.h"
#include "frmRecords.h"
#include "frmShowStand.h"

void RegisterStandingsForms()
{
    RegisterForm(QStringLiteral("frmShowStand"), [] { return static_cast<QWidget*>(new frmShowStand); });
    RegisterForm(QStringLiteral("frmRecords"), [] { return static_cast<QWidget*>(new frmRecords); });
}
