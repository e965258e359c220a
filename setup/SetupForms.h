#pragma once
// Registers the league setup windows ("frmList") with the window registry.
void RegisterSetupForms();
