#include "values/Values.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace b2d {

namespace {

bool isNumberType(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

QString variantText(const QVariant &value)
{
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    return value.toString();
}

// A text number: optional sign, digits with decimal separators, optional exponent. Anything else
// (letters, inner blanks) is not a number.
NumberReading readNumberText(const QString &raw)
{
    static const QRegularExpression shape(
        QStringLiteral("^[+-]?([0-9.,]*)(?:[eE][+-]?[0-9]+)?$"));
    const QString text = raw.trimmed();
    if (text.isEmpty())
        return {};
    const QRegularExpressionMatch m = shape.match(text);
    if (!m.hasMatch())
        return {};
    const QString mantissa = m.captured(1);
    int separators = 0;
    bool digit = false;
    for (const QChar c : mantissa) {
        if (c == QLatin1Char('.') || c == QLatin1Char(','))
            ++separators;
        else
            digit = true;
    }
    if (!digit)
        return {};
    if (separators > 1)
        return {NumberKind::TooManySeparators, 0};
    QString normal = text;
    normal.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = QLocale::c().toDouble(normal, &ok);
    if (!ok || !std::isfinite(v))
        return {NumberKind::Overflow, 0};
    return {NumberKind::Number, v};
}

// The decimal digits of |value| rounded to 15 significant digits, and the position of the
// decimal point: value = 0.<digits> x 10^point.
struct DecimalForm {
    QString digits;
    int point = 0;
};

DecimalForm decimalForm(double value)
{
    const QString e = QString::number(std::fabs(value), 'e', 14);  // d.dddddddddddddde+XX
    const qsizetype ePos = e.indexOf(QLatin1Char('e'));
    DecimalForm f;
    f.digits = e.left(ePos);
    f.digits.remove(QLatin1Char('.'));
    f.point = e.mid(ePos + 1).toInt() + 1;
    return f;
}

// Splits a decimal form into integer digits and fraction digits.
void splitDecimal(const DecimalForm &f, QString &integer, QString &fraction)
{
    const int n = int(f.digits.size());
    if (f.point <= 0) {
        integer = QStringLiteral("0");
        fraction = QString(-f.point, QLatin1Char('0')) + f.digits;
    } else if (f.point >= n) {
        integer = f.digits + QString(f.point - n, QLatin1Char('0'));
        fraction.clear();
    } else {
        integer = f.digits.left(f.point);
        fraction = f.digits.mid(f.point);
    }
}

QString stripLeadingZeros(const QString &integer)
{
    qsizetype i = 0;
    while (i + 1 < integer.size() && integer.at(i) == QLatin1Char('0'))
        ++i;
    return integer.mid(i);
}

bool allZeros(const QString &digits)
{
    for (const QChar c : digits)
        if (c != QLatin1Char('0'))
            return false;
    return true;
}

QDateTime makeDateTime(int y, int mo, int d, int h, int mi, int s, bool &ok)
{
    const QDate date(y, mo, d);
    const QTime time(h, mi, s);
    ok = date.isValid() && time.isValid();
    return ok ? QDateTime(date, time) : QDateTime();
}

int capturedInt(const QRegularExpressionMatch &m, int n)
{
    return m.captured(n).isEmpty() ? 0 : m.captured(n).toInt();
}

std::optional<QDateTime> readDateText(const QString &raw)
{
    static const QRegularExpression dayFirst(QStringLiteral(
        "^(\\d{1,2})([/.-])(\\d{1,2})\\2(\\d{4}|\\d{2})"
        "(?:[ T](\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.\\d{1,9})?)?)?$"));
    static const QRegularExpression iso(QStringLiteral(
        "^(\\d{4})-(\\d{1,2})-(\\d{1,2})"
        "(?:[ T](\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.\\d{1,9})?)?)?$"));
    const QString text = raw.trimmed();
    bool ok = false;
    QDateTime dt;
    if (const auto m = iso.match(text); m.hasMatch()) {
        dt = makeDateTime(capturedInt(m, 1), capturedInt(m, 2), capturedInt(m, 3),
                          capturedInt(m, 4), capturedInt(m, 5), capturedInt(m, 6), ok);
    } else if (const auto m = dayFirst.match(text); m.hasMatch()) {
        int year = capturedInt(m, 4);
        if (m.captured(4).size() == 2)
            year += year < 30 ? 2000 : 1900;  // two-digit years: 1930 to 2029
        dt = makeDateTime(year, capturedInt(m, 3), capturedInt(m, 1), capturedInt(m, 5),
                          capturedInt(m, 6), capturedInt(m, 7), ok);
    }
    if (!ok)
        return std::nullopt;
    return dt;
}

}  // namespace

// ---- Reading numbers and texts -------------------------------------------------------------

NumberReading readNumberValue(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    const int type = value.typeId();
    if (isNumberType(type)) {
        if (type == QMetaType::Bool)
            return {NumberKind::Number, value.toBool() ? 1.0 : 0.0};
        return {NumberKind::Number, value.toDouble()};
    }
    if (type == QMetaType::QString || type == QMetaType::QByteArray)
        return readNumberText(variantText(value));
    // Dates, times and anything else are not numbers.
    return {};
}

std::optional<double> readNumber(const QVariant &value)
{
    const NumberReading r = readNumberValue(value);
    switch (r.kind) {
    case NumberKind::Number:
        return r.value;
    case NumberKind::NotANumber:
        return 0.0;
    default:
        return std::nullopt;
    }
}

bool isNumeric(const QVariant &value)
{
    return readNumberValue(value).kind == NumberKind::Number;
}

QString EsNulo(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return QLocale::c().toString(value.toDateTime(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::QDate:
        return QLocale::c().toString(value.toDate(), QStringLiteral("yyyy-MM-dd"));
    case QMetaType::Double:
    case QMetaType::Float:
        return plainNumber(value.toDouble());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return variantText(value);
    }
}

// ---- Writing numbers -----------------------------------------------------------------------

QString formatMask(double value, int decimals)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (decimals < 0)
        decimals = 0;
    QString integer, fraction;
    splitDecimal(decimalForm(value), integer, fraction);

    const bool roundUp = fraction.size() > decimals && fraction.at(decimals) >= QLatin1Char('5');
    fraction = fraction.left(decimals);
    fraction += QString(decimals - fraction.size(), QLatin1Char('0'));
    QString digits = integer + fraction;
    if (roundUp) {
        qsizetype i = digits.size() - 1;
        for (; i >= 0; --i) {
            if (digits.at(i) == QLatin1Char('9')) {
                digits[i] = QLatin1Char('0');
            } else {
                digits[i] = QChar(digits.at(i).unicode() + 1);
                break;
            }
        }
        if (i < 0)
            digits.prepend(QLatin1Char('1'));
    }
    integer = stripLeadingZeros(digits.left(digits.size() - decimals));
    fraction = digits.right(decimals);

    QString out;
    if (value < 0 && !allZeros(digits))
        out += QLatin1Char('-');
    out += integer;
    if (decimals > 0)
        out += QLatin1Char('.') + fraction;
    return out;
}

QString plainNumber(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    QString integer, fraction;
    splitDecimal(decimalForm(value), integer, fraction);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    integer = stripLeadingZeros(integer);
    QString out;
    if (value < 0 && !(allZeros(integer) && fraction.isEmpty()))
        out += QLatin1Char('-');
    out += integer;
    if (!fraction.isEmpty())
        out += QLatin1Char('.') + fraction;
    return out;
}

// ---- Dates ---------------------------------------------------------------------------------

std::optional<QDateTime> readDate(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return dt.isValid() ? std::optional<QDateTime>(dt) : std::nullopt;
    }
    case QMetaType::QDate: {
        const QDate d = value.toDate();
        return d.isValid() ? std::optional<QDateTime>(QDateTime(d, QTime(0, 0))) : std::nullopt;
    }
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return readDateText(variantText(value));
    default:
        return std::nullopt;
    }
}

QString isoDateTime(const QDateTime &dt)
{
    return QLocale::c().toString(dt, QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
}

QString isoDate(const QDate &d)
{
    return QLocale::c().toString(d, QStringLiteral("yyyy-MM-dd"));
}

QString fileStamp(const QDateTime &dt)
{
    return QLocale::c().toString(dt.toLocalTime(), QStringLiteral("yyyyMMddHHmmss"));
}

// ---- Texts ---------------------------------------------------------------------------------

QString xmlEscape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QStringLiteral("&amp;");
            break;
        case '<':
            out += QStringLiteral("&lt;");
            break;
        case '>':
            out += QStringLiteral("&gt;");
            break;
        case '\t':
        case '\n':
        case '\r':
            out += c;
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
                out += QLatin1Char(' ');
            else
                out += c;
        }
    }
    return out;
}

QString xmlElement(const QString &tag, const QString &text)
{
    return QLatin1Char('<') + tag + QLatin1Char('>') + xmlEscape(text) + QStringLiteral("</") + tag
        + QLatin1Char('>');
}

QString sqlQuote(const QString &value)
{
    QString out = value;
    out.replace(QLatin1Char('\''), QStringLiteral("''"));
    return out;
}

QString m_sVALSUF(QString &text)
{
    text = text.trimmed().toUpper();
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        out += m_sVALCHAR(c);
    return out;
}

QChar m_sVALCHAR(QChar c)
{
    // Windows-1252 agrees with Unicode on these codes: digits 48-57, A-Z 65-90, Ñ 209.
    const char16_t u = c.unicode();
    if ((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || u == 0x00D1)
        return c;
    return QLatin1Char(' ');
}

QString safeFileNamePart(const QString &text, bool keepHash)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    QString out = text;
    for (QChar &c : out) {
        if (forbidden.contains(c) || (c == QLatin1Char('#') && !keepHash)
            || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    }
    return out;
}

QString joinPath(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder + name;
    // Follow the separator the folder is written with; the platform's when it has none.
    QChar sep = QDir::separator();
    if (folder.contains(QLatin1Char('/')))
        sep = QLatin1Char('/');
    else if (folder.contains(QLatin1Char('\\')))
        sep = QLatin1Char('\\');
    return folder + sep + name;
}

}  // namespace b2d
