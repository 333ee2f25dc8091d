#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <optional>

namespace b2d {

class Runtime;

// ---- Reading numbers and texts -------------------------------------------------------------

// A value as a number: null, empty, blank or non-numeric text gives 0; a text is read with one
// decimal separator, point or comma. A text with more than one separator (1.234,5) is a conversion
// failure: the standard error box for EsNumero, result 0.
double EsNumero(Runtime &rt, const QVariant &value);
// The same reading without a box: nullopt for a conversion failure, 0 for non-numbers.
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

// Escapes & < > for text between tags; nothing else changes.
QString xmlEscape(const QString &text);
// "<tag>" + escaped text + "</tag>"
QString xmlElement(const QString &tag, const QString &text);
// Doubles every single quote, for a value placed between quotes in a statement.
QString sqlQuote(const QString &value);
// Trims, upper-cases, and keeps digits, A-Z and Ñ (everything else becomes a blank). `text` is
// replaced by its trimmed upper-cased form.
QString m_sVALSUF(Runtime &rt, QString &text);
QChar m_sVALCHAR(QChar c);
// A file-name part: path separators and characters a Windows file name cannot hold become '_'.
QString safeFileNamePart(const QString &text);
// Folder + name, with one separator inserted when the folder lacks one.
QString joinPath(const QString &folder, const QString &name);

// ---- Currencies, prorating, code tables ----------------------------------------------------

// The currency code an amount is written in, and its rate to US dollars.
QString EquivalenciaMonedas(Runtime &rt, const QString &code, double &rate);
QString ObtenerTipoDeCambio(Runtime &rt, const QString &code, const QString &despacho);
void SetDBDivisaConv(Runtime &rt, const QString &code, const QString &rateText);
bool ExistDBDivisaConv(Runtime &rt, const QString &code);
// part * amount / total; a zero total is a division failure (standard box, result 0).
double CalcularProrrateo(Runtime &rt, double total, double part, double amount);
QString ObtenerDescripcionEstado(const QString &code);
QString ObtenerDescripcionCondicion(const QString &code);

}  // namespace b2d
