#pragma once
#include <QString>
#include <stdexcept>

namespace dao {

// An error of the database layer, with a Jet-style number and description.
// Known numbers: 3024 file not found, 3343 unrecognised database format,
// 3051 cannot open for writing, 3021 no current record, 3265 item not found,
// 3061 too few parameters, 3012 object exists, 3022 duplicate key,
// 3421 data type conversion error, 3027 read-only recordset, 3020 update
// without addNew/edit, 3034 commit or rollback without a transaction,
// 3163 text too long for its column, 3349 numeric field overflow,
// 3010 table exists, 3191 field defined twice, 3204 database exists,
// 3142 several statements in one text,
// 3219 invalid operation, 3420 closed recordset,
// 3000 + SQLite code otherwise.
class DbError : public std::runtime_error {
public:
    DbError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), m_number(number), m_description(description) {}
    int number() const { return m_number; }
    QString description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

// Error 3163: a text longer than its column is wide.
inline DbError fieldTooSmall(const QString& column)
{
    return DbError(3163, QStringLiteral("The field '%1' is too small to accept the amount of data you attempted to add. "
                                        "Try inserting or pasting less data.")
                             .arg(column));
}

} // namespace dao
