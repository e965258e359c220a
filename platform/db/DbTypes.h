#pragma once
// Jet column types and the conversion of a value for a column, as Jet
// converts it. Internal to the database layer.

#include <QString>
#include <QVariant>

namespace dao::detail {

// DAO type code for a declared column type ("VARCHAR(50)" -> dbText).
int typeFromDecl(const QString& declType);
// Declared width of a text type ("VARCHAR(50)" -> 50), 0 when none.
int declWidth(const QString& declType);

// Throws 3163 when the text a value is stored as is longer than width.
void checkWidth(const QVariant& value, int width, const QString& column);

// Converts a value for a column of the declared type as Jet would; throws
// DbError 3421 when a text cannot be read as a number, 3163 when a text
// is too long for the column and held to its width.
QVariant coerceToColumn(const QVariant& value, const QString& declType, const QString& column, bool heldToWidth);

} // namespace dao::detail
