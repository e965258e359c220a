#include "FormRegistry.h"

#include <QHash>

static QHash<QString, FormFactory>& registry()
{
    static QHash<QString, FormFactory> r;
    return r;
}

void RegisterForm(const QString& name, FormFactory factory)
{
    registry()[name] = std::move(factory);
}

bool HasForm(const QString& name)
{
    return registry().contains(name);
}

QStringList RegisteredFormNames()
{
    QStringList names = registry().keys();
    names.sort();
    return names;
}

QWidget* CreateForm(const QString& name)
{
    auto it = registry().find(name);
    return it == registry().end() ? nullptr : (*it)();
}
