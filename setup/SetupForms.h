#pragma once
// Registers the league setup windows ("frmList", "frmListTeams",
// "frmRookies", "frmListBonus") with the window registry.
void RegisterSetupForms();
