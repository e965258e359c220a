#pragma once
// The windows that later folders add (import, results, setup...) register a
// factory here at start-up, so the main window can open them without the
// core depending on those folders. A command whose window is not
// registered stays disabled.

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

using FormFactory = std::function<QWidget*()>;

void RegisterForm(const QString& name, FormFactory factory);
bool HasForm(const QString& name);
// Every registered name, sorted.
QStringList RegisteredFormNames();
// A new instance of the window, or nullptr when none is registered.
QWidget* CreateForm(const QString& name);
