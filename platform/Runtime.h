#pragma once
// Small runtime helpers the program relies on everywhere: numbers in
// texts, rounding, number formats, fixed-width fields, text files and the
// program folder.

#include <QString>
#include <QStringList>
#include <QVariant>

namespace rt {

// The leading number of a text: blanks and tabs skipped, an optional sign,
// digits with one decimal point and an optional exponent; reading stops at
// the first character that cannot continue the number; 0 when none.
// "&H" / "&O" prefixes are read as hexadecimal / octal.
double Val(const QString& text);
double Val(const QVariant& value);   // null gives 0

// True when the trimmed text is a whole number or a decimal number
// (what a user may type into a number box).
bool IsNumeric(const QString& text);

// Round to the given number of decimals, a tie going to the even neighbour.
double RoundHalfEven(double value, int decimals = 0);
// Round to the given number of decimals, a tie going away from zero.
double RoundHalfAway(double value, int decimals = 0);

// Plain text of a value: whole reals without ".0", others shortest form,
// "." as decimal point; null gives "".
QString Str(const QVariant& value);
QString Str(double value);
// Text as the sign-reserving conversion writes it: " 12", "-3".
QString SignedStr(double value);

// A number formatted with a pattern of '#', '0', ',', '.', literal text and
// an optional ";negative" section ("##,###,##0", "#0.00", "$#,##0.00;($#,##0.00)").
// A whole-number pattern takes a half to the even neighbour, a decimal pattern
// rounds it away from zero. "." and "," are always the point and the
// thousands separator.
QString Format(double value, const QString& pattern);
// The pattern money amounts are typed and shown in.
inline constexpr char kAmountFormat[] = "$#,##0.00;($#,##0.00)";

// Fixed-width fields. Widths and positions count UTF-16 units, as the
// league file's do, so a character written as two units (a surrogate pair)
// counts two. A cut keeps whole characters: half of such a character left
// at either edge of the cut becomes a blank, so the result keeps its width
// and the columns after it stay in place.
// The last w units of w blanks followed by the text.
QString RSet(const QString& text, int width);
// The text followed by blanks, cut to w units (the text is not trimmed).
QString LSet(const QString& text, int width);
// Blanks-only trimming (tabs stay), like the platform's Trim.
QString Trim(const QString& text);
QString LTrim(const QString& text);
QString RTrim(const QString& text);
// 1-based substring as the platform's Mid, cut as the fields above: start
// past the end gives "".
QString Mid(const QString& text, int start, int length = -1);
// True when a cut of the text before the 0-based index at would split a
// character of two units.
bool SplitsCharacter(const QString& text, qsizetype at);

// Reads a text file whole and splits it into lines; CR LF, LF and CR line
// ends are accepted. UTF-8 is used when the bytes are valid UTF-8, else
// Windows-1252. Returns false when the file cannot be read.
bool ReadTextLines(const QString& path, QStringList& lines, QString* error = nullptr);
QString DecodeText(const QByteArray& bytes);

// Writes a file whole or not at all: a temporary file in the same folder
// (one without a name where the file system has them), renamed into place
// when complete. A link stays a link and the file it points to is written,
// made if it is not yet; a file the user may not write is refused. Returns
// false with the reason and the path on failure: the page's, or that of the
// link's missing target, or of the folder the user may not write.
bool WriteFileAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Names the first character of text that cannot stand in a file name on
// Linux or Windows (/ \ : * ? " < > | or a control character), as "the
// character /" or "a control character (code 9)"; empty when there is none.
QString FileNameFault(const QString& text);

// The program's folder, without a trailing separator: the folder the
// environment variable TARVIK_HOME names (made absolute) when it is set,
// else the executable's folder. SetAppPath overrides both.
QString AppPath();
void SetAppPath(const QString& path);   // tests point it at a scratch folder

// Joins the program folder and a relative path written with '\' or '/'.
QString AppFile(const QString& relative);

// Program title and version.
QString AppTitle();   // "Tarvik"
int VersionMajor();
int VersionMinor();
int VersionRevision();

} // namespace rt
