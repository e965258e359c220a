#include "Settings.h"

#include <QSettings>

#include <memory>

namespace settings {

static QString g_iniPath;

static std::unique_ptr<QSettings> store(const QString& app)
{
    if (!g_iniPath.isEmpty())
        return std::make_unique<QSettings>(g_iniPath, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, app, app);
}

static QString keyOf(const QString& app, const QString& section, const QString& key)
{
    // One file per application in normal use; the test file holds one app.
    Q_UNUSED(app);
    return section + QLatin1Char('/') + key;
}

QString GetSetting(const QString& app, const QString& section, const QString& key, const QString& fallback)
{
    auto s = store(app);
    const QVariant v = s->value(keyOf(app, section, key));
    return v.isValid() ? v.toString() : fallback;
}

void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value)
{
    auto s = store(app);
    // The store is a file written whole: an unchanged value is not written again.
    const QVariant stored = s->value(keyOf(app, section, key));
    if (stored.isValid() && stored.toString() == value)
        return;
    s->setValue(keyOf(app, section, key), value);
    s->sync();
}

void SetSettingsFile(const QString& iniPath)
{
    g_iniPath = iniPath;
}

} // namespace settings
