#pragma once
// The per-user settings store: application, section, key.

#include <QString>

namespace settings {

QString GetSetting(const QString& app, const QString& section, const QString& key, const QString& fallback = QString());
void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value);
// Tests keep their settings in a file of their own.
void SetSettingsFile(const QString& iniPath);

} // namespace settings
