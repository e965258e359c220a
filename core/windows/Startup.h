#pragma once
// The program's start: command line, splash, database, preferences, main
// window.

#include <QString>

#include <functional>
#include <memory>

class frmMainMenu;

// Sets vLAN, vJRL, sHtmlExt and bUseStyle from the command line (switches
// "LAN", "JRL", "EXT" + extension and "NOSTYLE" anywhere in it, any case).
void ReadCommandLine(const QString& commandLine);

// Everything but the event loop: switches, splash, database, preferences;
// the main window, shown, or nullptr (the message has been shown) when the
// database could not be opened.
std::unique_ptr<frmMainMenu> StartProgram(const QString& commandLine);

// The whole run; returns the process exit code. registerForms runs once the
// application object exists and before the main window is built.
int RunProgram(int argc, char** argv, const std::function<void()>& registerForms = {});
