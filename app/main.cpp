#include "RegisterImportForms.h"
#include "RegisterResultsForms.h"
#include "RegisterStandingsForms.h"
#include "SetupForms.h"
#include "Startup.h"

int main(int argc, char** argv)
{
    return RunProgram(argc, argv, [] {
        RegisterImportForms();
        RegisterResultsForms();
        RegisterStandingsForms();
        RegisterSetupForms();
    });
}
