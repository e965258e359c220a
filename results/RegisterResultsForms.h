#pragma once
// Registers the windows of the race results folder with the form registry.
void RegisterResultsForms();
