#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <optional>

// The pure value rules: reading and writing numbers, dates, texts between tags, quoted values of
// statements, file-name parts. No database and no process object.

namespace b2d {

// ---- Reading numbers and texts -------------------------------------------------------------

// How a value reads as a number: null, empty, blank or non-numeric text is NotANumber; a text is
// read with one decimal separator, point or comma, and more than one (1.234,5) is a conversion
// failure.
enum class NumberKind { NotANumber, Number, TooManySeparators, Overflow };
struct NumberReading {
    NumberKind kind = NumberKind::NotANumber;
    double value = 0;
};
NumberReading readNumberValue(const QVariant &value);
// The reading as a number: nullopt for a conversion failure, 0 for non-numbers.
std::optional<double> readNumber(const QVariant &value);
// True when the value reads as a number (not null, not blank, not letters).
bool isNumeric(const QVariant &value);
// The empty text for null, else the value as text (dates as yyyy-MM-dd hh:mm:ss).
QString EsNulo(const QVariant &value);

// ---- Writing numbers -----------------------------------------------------------------------

// Format(value, "0.<decimals zeros>"): half away from zero on the 15-significant-digit decimal
// form, a point, no grouping, no minus on a zero result.
QString formatMask(double value, int decimals);
inline QString mask2(double v) { return formatMask(v, 2); }   // "0.00"
inline QString mask7(double v) { return formatMask(v, 7); }   // "0.0000000"
inline QString mask8(double v) { return formatMask(v, 8); }   // "0.00000000"
inline QString mask9(double v) { return formatMask(v, 9); }   // "0.000000000"
// A figure formatted with "0.0000000" and read back: it keeps seven decimals.
inline double keepSevenDecimals(double v) { return readNumber(mask7(v)).value_or(0); }
// A number without a mask: integers without decimals, else up to 15 significant digits.
QString plainNumber(double value);

// ---- Dates ---------------------------------------------------------------------------------

// A date value (date-time, date, or text in the accepted forms: d/m/yyyy, d-m-yyyy, d.m.yyyy,
// two-digit years 1930-2029, yyyy-mm-dd, each optionally followed by blank or T and h:mm[:ss]).
std::optional<QDateTime> readDate(const QVariant &value);
inline bool isDate(const QVariant &value) { return readDate(value).has_value(); }
// yyyy-MM-ddTHH:mm:ss
QString isoDateTime(const QDateTime &dt);
// yyyy-MM-dd
QString isoDate(const QDate &d);
// File-name stamp yyyyMMddHHmmss.
QString fileStamp(const QDateTime &dt);

// ---- Texts ---------------------------------------------------------------------------------

// Escapes & < > for text between tags. A character that XML does not allow in a document
// (U+0000-U+0008, U+000B, U+000C, U+000E-U+001F, U+FFFE, U+FFFF) becomes a blank, so a stray
// control character of a database text cannot make the file unreadable; tab, line feed and
// carriage return stay. Nothing else changes.
QString xmlEscape(const QString &text);
// "<tag>" + escaped text + "</tag>"
QString xmlElement(const QString &tag, const QString &text);
QString xmlElement(QLatin1StringView tag, const QString &text);
inline QString xmlElement(const char *tag, const QString &text)
{
    return xmlElement(QLatin1StringView(tag), text);
}
// Doubles every single quote, for a value placed between quotes in a statement.
QString sqlQuote(const QString &value);
// An ASCII letter upper-cased, any other character as it is: how statement words and names are
// compared without regard to case where they are ASCII.
constexpr char16_t asciiUpper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c;
}
// `text.toUpper()`, without its character tables when `text` is ASCII (names of tables and
// columns almost always are): the same text shared when nothing changes.
QString upperCased(const QString &text);
// Trims, upper-cases, and keeps digits, A-Z and Ñ (everything else becomes a blank). `text` is
// replaced by its trimmed upper-cased form.
QString m_sVALSUF(QString &text);
QChar m_sVALCHAR(QChar c);
// A file-name part: path separators and characters a Windows file name cannot hold become '_'.
// '#' is replaced too unless `keepHash` is set (a licence's name keeps it).
QString safeFileNamePart(const QString &text, bool keepHash = false);
// Folder + name, with one separator inserted when the folder lacks one.
QString joinPath(const QString &folder, const QString &name);

}  // namespace b2d
