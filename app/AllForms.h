#pragma once
// Every folder's working windows and editors, registered by name. The
// program and the tests that open every window share this one list.

#include "RegisterImportForms.h"
#include "RegisterResultsForms.h"
#include "RegisterStandingsForms.h"
#include "SetupForms.h"

inline void RegisterAllForms()
{
    RegisterImportForms();
    RegisterResultsForms();
    RegisterStandingsForms();
    RegisterSetupForms();
}
