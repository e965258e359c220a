#pragma once
// Fills the preference variables from the Options rows "1" and "3",
// creating either row with its defaults when missing.
void LoadOptions();
