#pragma once
// Registers the windows of the import folder with the form registry.
void RegisterImportForms();
