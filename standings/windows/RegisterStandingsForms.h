#pragma once
// Registers the windows of the standings folder with the form registry.
void RegisterStandingsForms();
