#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace dao { class Recordset; }

// The trimmed text padded with blanks or cut to round(w) units, as rt::LSet
// cuts (whole characters).
QString PadRight(const QString& s, double w);
// A number's shortest text (7 significant digits), right-aligned in w;
// a longer text loses its leading characters.
QString AlignRight(double n, int w);
// The last n characters of "0000000000" + the trimmed text.
QString ZeroPad(const QString& s, int n);
// "#RRGGBB" from a colour number with red in the low byte.
QString HTMLColor(double c);
// True at the first index 0..n whose trimmed texts differ (case counts).
// A null value never differs.
bool ValuesChanged(const QVariantList& oldValues, const QVariantList& newValues, int n);

// Resets the fields of a just-added row (texts "", numbers 0, flags false),
// leaving the automatic number alone.
void ClearFields(dao::Recordset& rs);
