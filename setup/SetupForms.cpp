#include "SetupForms.h"

#include "FormRegistry.h"
#include "frmList.h"
#include "frmListBonus.h"
#include "frmListTeams.h"
#include "frmRookies.h"

void RegisterSetupForms()
{
    RegisterForm(QStringLiteral("frmList"), [] { return new frmList(); });
    RegisterForm(QStringLiteral("frmListTeams"), [] { return new frmListTeams(); });
    RegisterForm(QStringLiteral("frmRookies"), [] { return new frmRookies(); });
    RegisterForm(QStringLiteral("frmListBonus"), [] { return new frmListBonus(); });
}
