#include "FuzzProperties.h"

#include "data/FileWriter.h"
#include "data/SuffixSorter.h"
#include "data/TsqlRewriter.h"
#include "platform/PeVersion.h"
#include "values/Values.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cmath>

namespace b2d::fuzz {

namespace {

// A text in a failure message, percent-encoded; as UTF-16 code units in hexadecimal when
// FUZZ_UNITS is set (half a surrogate pair does not survive UTF-8).
QString show(const QString &text)
{
    QString units;
    for (const QChar c : text)
        units += QString::number(c.unicode(), 16) + QLatin1Char(' ');
    if (qEnvironmentVariableIsSet("FUZZ_UNITS"))
        return units;
    return QString::fromLatin1(text.toUtf8().toPercentEncoding(" !#$&'()*+,-./:;<=>?@[]^_{|}~"));
}

// ---- Executable version reader ----------------------------------------------------------------

QString checkPeVersion(const QByteArray &input)
{
    const std::optional<QString> version = productVersionOf(input);
    QByteArray copy = input;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    if (readProductVersion(buffer) != version)
        return QStringLiteral("the device and the bytes read differently");
    if (!version)
        return {};
    static const QRegularExpression shape(QStringLiteral("^[0-9]{1,5}(\\.[0-9]{1,5}){3}$"));
    if (!shape.match(*version).hasMatch())
        return QStringLiteral("not a version of four numbers: ") + show(*version);
    for (const QString &part : version->split(QLatin1Char('.')))
        if (part.toInt() > 0xFFFF)
            return QStringLiteral("a part over 65535: ") + show(*version);
    if (productVersionOf(standInExecutableImage(*version)) != version)
        return QStringLiteral("an executable written with ") + show(*version)
               + QStringLiteral(" reads differently");
    return {};
}

// ---- Number and date readers ------------------------------------------------------------------

QString checkNumber(const QString &text)
{
    const NumberReading r = readNumberValue(text);
    // Point and comma are the same decimal separator.
    QString swapped = text;
    for (QChar &c : swapped)
        c = c == QLatin1Char('.') ? QLatin1Char(',') : c == QLatin1Char(',') ? QLatin1Char('.') : c;
    const NumberReading other = readNumberValue(swapped);
    if (other.kind != r.kind || other.value != r.value)
        return QStringLiteral("a point and a comma read differently in ") + show(text);
    if (r.kind != NumberKind::Number)
        return {};
    const double v = r.value;
    if (!std::isfinite(v))
        return QStringLiteral("a reading that is not finite");
    if (std::fabs(v) >= 1e15)
        return {};  // past 15 significant digits the masks round on purpose
    for (const int decimals : {0, 2, 7, 9}) {
        const QString written = formatMask(v, decimals);
        static const QRegularExpression masked(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
        const NumberReading back = readNumberValue(written);
        const double tolerance = 0.5 * std::pow(10.0, -decimals) + std::fabs(v) * 1e-14;
        if (!masked.match(written).hasMatch() || back.kind != NumberKind::Number
            || std::fabs(back.value - v) > tolerance)
            return QStringLiteral("%1 written with %2 decimals as %3 does not read back")
                .arg(v, 0, 'g', 17)
                .arg(decimals)
                .arg(written);
    }
    const QString plain = plainNumber(v);
    const NumberReading back = readNumberValue(plain);
    if (back.kind != NumberKind::Number || std::fabs(back.value - v) > std::fabs(v) * 1e-14)
        return QStringLiteral("%1 written as %2 does not read back").arg(v, 0, 'g', 17).arg(plain);
    return {};
}

QString checkDate(const QString &text)
{
    const std::optional<QDateTime> dt = readDate(text);
    if (!dt)
        return {};
    if (!dt->isValid())
        return QStringLiteral("an invalid date-time read");
    for (const QChar c : text)
        if (c.isDigit() && !(c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            return QStringLiteral("a date read from digits other than 0-9");
    if (readDate(isoDateTime(*dt)) != dt)
        return QStringLiteral("the date-time read, written as ") + isoDateTime(*dt)
               + QStringLiteral(", reads differently");
    for (const QString &written : {isoDate(dt->date()), dt->date().toString(u"d/M/yyyy")}) {
        const std::optional<QDateTime> day = readDate(written);
        if (!day || day->date() != dt->date())
            return QStringLiteral("the date read, written as ") + written
                   + QStringLiteral(", reads differently");
    }
    return {};
}

QString checkNumberDate(const QByteArray &input)
{
    const QString text = fuzzText(input);
    QString failure = checkNumber(text);
    return failure.isEmpty() ? checkDate(text) : failure;
}

// ---- T-SQL rewriter ---------------------------------------------------------------------------

// The quoted literals of a statement as the database's lexer finds them: '...' with '' inside,
// skipping comments, "names" and [names]. False when something is left open.
bool sqlLiterals(const QString &sql, QStringList &out)
{
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql.at(i);
        const QChar next = i + 1 < n ? sql.at(i + 1) : QChar();
        if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            while (i < n && sql.at(i) != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0)
                return false;
            i = end + 2;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            qsizetype j = i + 1;
            while (j < n && !(sql.at(j) == close && (j + 1 >= n || sql.at(j + 1) != close)))
                j += sql.at(j) == close ? 2 : 1;
            if (j >= n)
                return false;
            if (c == QLatin1Char('\''))
                out << sql.mid(i, j + 1 - i);
            i = j + 1;
        } else {
            ++i;
        }
    }
    return true;
}

QString checkTsqlRewriter(const QByteArray &input)
{
    const QString sql = fuzzText(input);
    const QString rewritten = TsqlRewriter::rewrite(sql);
    TsqlRewriter::procedureCall(sql);
    QStringList before;
    if (!sqlLiterals(sql, before))
        return rewritten == sql ? QString() : QStringLiteral("a statement left open was changed");
    QStringList after;
    if (!sqlLiterals(rewritten, after) || after != before)
        return QStringLiteral("the literals changed: ") + show(sql) + QStringLiteral(" -> ")
               + show(rewritten);

    // Bound arguments: every literal of the statement stays, and each new one is a whole argument.
    const QString text = sql.right(12);
    const QVariantList args{QStringLiteral("x'; DROP TABLE T; --"), QVariant(), 42, 1.5, text};
    const QString bound = TsqlRewriter::bindArguments(sql, args);
    QStringList literals;
    if (!sqlLiterals(bound, literals))
        return QStringLiteral("binding left a literal open: ") + show(bound);
    for (const QString &kept : before)
        if (!literals.removeOne(kept))
            return QStringLiteral("binding changed the literal ") + show(kept) + QStringLiteral(": ")
                   + show(bound);
    for (const QString &added : literals) {
        const QString value = added.mid(1, added.size() - 2).replace(QStringLiteral("''"),
                                                                     QStringLiteral("'"));
        if (value != args.at(0).toString() && value != text)
            return QStringLiteral("binding made the literal ") + show(added) + QStringLiteral(": ")
                   + show(bound);
    }
    return {};
}

// ---- Suffix sorter ----------------------------------------------------------------------------

QString checkSuffixSorter(const QByteArray &input)
{
    const QString sorted = ordenarsufijos(fuzzText(input));
    const QString again = ordenarsufijos(sorted);
    if (again != sorted)
        return QStringLiteral("sorting twice changes ") + show(sorted) + QStringLiteral(" into ")
               + show(again);
    if (sorted != sorted.trimmed())
        return QStringLiteral("blanks around ") + show(sorted);
    return {};
}

// ---- Text escaping and ISO-8859-1 encoding ----------------------------------------------------

// The text a reader of the document gets for `text` written between tags: characters XML does not
// allow become blanks, and line ends read as XML reads them (CR LF and a lone CR as LF). Half a
// surrogate pair stays in the text in memory; the file writer writes it as the replacement
// character (`inFile`).
QString expectedReading(const QString &text, bool inFile)
{
    QString out;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
        } else if (c.isSurrogate()) {
            out += inFile ? QChar(QChar::ReplacementCharacter) : c;
        } else if (c == QLatin1Char('\r')) {
            out += QLatin1Char('\n');
            if (i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if ((c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n'))
                   || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF) {
            out += QLatin1Char(' ');
        } else {
            out += c;
        }
    }
    return out;
}

// The text of the one element of a document, or what the reader reports.
QString elementText(QXmlStreamReader &reader, bool &ok)
{
    ok = false;
    while (!reader.atEnd() && !reader.isStartElement())
        reader.readNext();
    const QString text = reader.readElementText();
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError())
        return reader.errorString();
    ok = true;
    return text;
}

// ISO-8859-1 bytes with &#N; references read back into text.
QString decodeLatin1WithReferences(const QByteArray &bytes)
{
    QString out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == '&' && i + 1 < bytes.size() && bytes.at(i + 1) == '#') {
            const qsizetype end = bytes.indexOf(';', i);
            bool ok = false;
            const uint code = end > 0 ? bytes.mid(i + 2, end - i - 2).toUInt(&ok) : 0;
            if (ok && code > 0xFF && code <= 0x10FFFF) {
                // (not QString::fromUcs4: it drops a leading U+FEFF as a byte-order mark)
                if (QChar::requiresSurrogates(code)) {
                    out += QChar(QChar::highSurrogate(code));
                    out += QChar(QChar::lowSurrogate(code));
                } else {
                    out += QChar(char16_t(code));
                }
                i = end;
                continue;
            }
        }
        out += QChar(uchar(bytes.at(i)));
    }
    return out;
}

QString checkTextEncoding(const QByteArray &input)
{
    const QString text = fuzzText(input);
    const QString escaped = xmlEscape(text);

    // Half a surrogate pair means nothing to a reader in memory (it reads it as '?'): only the
    // file, where it is written as the replacement character, is compared for such a text.
    const bool halfPairs = expectedReading(text, true) != expectedReading(text, false);
    bool ok = false;
    QString read;
    if (!halfPairs) {
        QXmlStreamReader inMemory(QStringLiteral("<a>") + escaped + QStringLiteral("</a>"));
        read = elementText(inMemory, ok);
        if (!ok || read != expectedReading(text, false))
            return QStringLiteral("the escaped text reads back as ") + show(read);
    }

    const QByteArray bytes = toLatin1WithReferences(escaped);
    QString whole;
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        const QChar c = escaped.at(i);
        const bool pair = c.isHighSurrogate() && i + 1 < escaped.size()
                          && escaped.at(i + 1).isLowSurrogate();
        whole += c.isSurrogate() && !pair ? QChar(QChar::ReplacementCharacter) : c;
        if (pair)
            whole += escaped.at(++i);
    }
    if (decodeLatin1WithReferences(bytes) != whole)
        return QStringLiteral("the ISO-8859-1 bytes decode as ")
               + show(decodeLatin1WithReferences(bytes));

    QXmlStreamReader file(QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><a>")
                          + bytes + QByteArrayLiteral("</a>"));
    read = elementText(file, ok);
    if (!ok || read != expectedReading(text, true))
        return QStringLiteral("the written file reads back as ") + show(read);
    return {};
}

}  // namespace

QString fuzzText(const QByteArray &input)
{
    if (!input.startsWith("\xFF\xFE"))
        return QString::fromUtf8(input);
    QString text;
    for (qsizetype i = 2; i + 1 < input.size(); i += 2)
        text += QChar(char16_t(uchar(input.at(i)) | uchar(input.at(i + 1)) << 8));
    return text;
}

const QList<FuzzTarget> &fuzzTargets()
{
    static const QList<FuzzTarget> targets{
        {"pe_version", checkPeVersion},       {"number_date", checkNumberDate},
        {"tsql_rewriter", checkTsqlRewriter}, {"suffix_sorter", checkSuffixSorter},
        {"text_encoding", checkTextEncoding},
    };
    return targets;
}

const FuzzTarget *findFuzzTarget(const QString &name)
{
    for (const FuzzTarget &t : fuzzTargets())
        if (name == QLatin1String(t.name))
            return &t;
    return nullptr;
}

}  // namespace b2d::fuzz
