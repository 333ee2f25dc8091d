#include "values/Values.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

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
    const QString text = raw.trimmed();
    if (text.isEmpty())
        return {};
    // The shape [+-]?([0-9.,]*)([eE][+-]?[0-9]+)? and nothing else.
    const qsizetype n = text.size();
    auto isDigit = [&](qsizetype i) { return i < n && text.at(i) >= u'0' && text.at(i) <= u'9'; };
    auto isOneOf = [&](qsizetype i, char a, char b) {
        return i < n && (text.at(i) == QLatin1Char(a) || text.at(i) == QLatin1Char(b));
    };
    qsizetype i = isOneOf(0, '+', '-') ? 1 : 0;
    const qsizetype mantissaStart = i;
    while (isDigit(i) || isOneOf(i, '.', ','))
        ++i;
    const QStringView mantissa = QStringView(text).sliced(mantissaStart, i - mantissaStart);
    if (isOneOf(i, 'e', 'E')) {
        i += isOneOf(i + 1, '+', '-') ? 2 : 1;
        if (!isDigit(i))
            return {};
        while (isDigit(i))
            ++i;
    }
    if (i != n)
        return {};
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
    std::string digits;
    int point = 0;
};

// The digits and exponent of a conversion "d.ddd...e[+-]XX".
DecimalForm readScientific(const char *text, const char *end)
{
    DecimalForm f;
    const char *e = std::find(text, end, 'e');
    for (const char *p = text; p < e; ++p)
        if (*p != '.')
            f.digits += *p;
    int exponent = 0;
    std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), end, exponent);
    f.point = exponent + 1;
    return f;
}

DecimalForm decimalForm(double value)
{
    const double magnitude = std::fabs(value);
    // Sixteen correctly rounded digits decide the fifteenth, except when the sixteenth is a 5:
    // that may be an exact tie, which the numbers of the documents have always rounded up (and
    // this conversion would round to even), or a value just under or over one; those few values
    // take the documents' own conversion.
    char buffer[64];
    const auto sixteen = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                       std::chars_format::scientific, 15);
    if (sixteen.ec == std::errc() && buffer[16] != '5') {
        DecimalForm f = readScientific(buffer, sixteen.ptr);
        const bool up = f.digits.back() > '5';
        f.digits.pop_back();
        if (up) {
            ptrdiff_t i = ptrdiff_t(f.digits.size()) - 1;
            for (; i >= 0 && f.digits[size_t(i)] == '9'; --i)
                f.digits[size_t(i)] = '0';
            if (i >= 0) {
                ++f.digits[size_t(i)];
            } else {  // 9.99...9 became 10.0...0
                f.digits.front() = '1';
                ++f.point;
            }
        }
        return f;
    }
    const QByteArray e = QByteArray::number(magnitude, 'e', 14);
    return readScientific(e.constData(), e.constData() + e.size());
}

// Splits a decimal form into integer digits and fraction digits.
void splitDecimal(const DecimalForm &f, std::string &integer, std::string &fraction)
{
    const int n = int(f.digits.size());
    if (f.point <= 0) {
        integer = "0";
        fraction = std::string(size_t(-f.point), '0') + f.digits;
    } else if (f.point >= n) {
        integer = f.digits + std::string(size_t(f.point - n), '0');
        fraction.clear();
    } else {
        integer = f.digits.substr(0, size_t(f.point));
        fraction = f.digits.substr(size_t(f.point));
    }
}

// Integer digits without leading zeros (one zero is kept).
std::string_view stripLeadingZeros(std::string_view integer)
{
    size_t i = 0;
    while (i + 1 < integer.size() && integer[i] == '0')
        ++i;
    return integer.substr(i);
}

bool allZeros(std::string_view digits)
{
    return digits.find_first_not_of('0') == std::string_view::npos;
}

QLatin1StringView latin1(std::string_view text)
{
    return QLatin1StringView(text.data(), qsizetype(text.size()));
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
    const size_t places = size_t(decimals);
    std::string integer, fraction;
    splitDecimal(decimalForm(value), integer, fraction);

    const bool roundUp = fraction.size() > places && fraction[places] >= '5';
    fraction.resize(places, '0');
    std::string digits = integer + fraction;
    if (roundUp) {
        ptrdiff_t i = ptrdiff_t(digits.size()) - 1;
        for (; i >= 0; --i) {
            if (digits[size_t(i)] == '9') {
                digits[size_t(i)] = '0';
            } else {
                ++digits[size_t(i)];
                break;
            }
        }
        if (i < 0)
            digits.insert(digits.begin(), '1');
    }
    const std::string_view all(digits);
    const std::string_view whole = stripLeadingZeros(all.substr(0, all.size() - places));

    QString out;
    out.reserve(qsizetype(whole.size() + places + 2));
    if (value < 0 && !allZeros(all))
        out += QLatin1Char('-');
    out += latin1(whole);
    if (places > 0)
        out += QLatin1Char('.') + latin1(all.substr(all.size() - places));
    return out;
}

QString plainNumber(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    std::string integer, fraction;
    splitDecimal(decimalForm(value), integer, fraction);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    const std::string_view whole = stripLeadingZeros(integer);
    QString out;
    if (value < 0 && !(allZeros(whole) && fraction.empty()))
        out += QLatin1Char('-');
    out += latin1(whole);
    if (!fraction.empty())
        out += QLatin1Char('.') + latin1(fraction);
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

namespace {

bool needsXmlEscape(char16_t c)
{
    switch (c) {
    case '&':
    case '<':
    case '>':
        return true;
    case '\t':
    case '\n':
    case '\r':
        return false;
    default:
        return c < 0x20 || c == 0xFFFE || c == 0xFFFF;
    }
}

// Appends the escaped form of text to out.
void appendXmlEscaped(QString &out, QStringView text)
{
    qsizetype plain = 0;  // start of the characters not yet appended
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!needsXmlEscape(c))
            continue;
        out += text.sliced(plain, i - plain);
        plain = i + 1;
        switch (c) {
        case '&':
            out += QLatin1StringView("&amp;");
            break;
        case '<':
            out += QLatin1StringView("&lt;");
            break;
        case '>':
            out += QLatin1StringView("&gt;");
            break;
        default:
            out += QLatin1Char(' ');
        }
    }
    out += text.sliced(plain);
}

template <typename Tag>
QString element(Tag tag, const QString &text)
{
    QString out;
    out.reserve(2 * tag.size() + text.size() + 5);
    out += QLatin1Char('<');
    out += tag;
    out += QLatin1Char('>');
    appendXmlEscaped(out, text);
    out += QLatin1StringView("</");
    out += tag;
    out += QLatin1Char('>');
    return out;
}

}  // namespace

QString xmlEscape(const QString &text)
{
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return needsXmlEscape(c.unicode()); }))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    appendXmlEscaped(out, text);
    return out;
}

QString xmlElement(const QString &tag, const QString &text)
{
    return element(QStringView(tag), text);
}

QString xmlElement(QLatin1StringView tag, const QString &text)
{
    return element(tag, text);
}

QString sqlQuote(const QString &value)
{
    QString out = value;
    out.replace(QLatin1Char('\''), QStringLiteral("''"));
    return out;
}

QString upperCased(const QString &text)
{
    const char16_t *p = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    qsizetype firstLower = -1;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] >= 0x80)
            return text.toUpper();
        if (firstLower < 0 && p[i] >= u'a' && p[i] <= u'z')
            firstLower = i;
    }
    if (firstLower < 0)
        return text;
    QString out(text.constData(), n);  // a copy of its own: written below
    char16_t *q = reinterpret_cast<char16_t *>(out.data());
    for (qsizetype i = firstLower; i < n; ++i)
        q[i] = asciiUpper(q[i]);
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
