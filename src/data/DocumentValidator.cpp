#include "data/DocumentValidator.h"

#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <string_view>
#include <vector>

namespace b2d {

namespace {

// Encoding faults beyond this many are summed up in one last fault.
constexpr int kMaxEncodingFaults = 20;

qsizetype indexOfByte(const QByteArray &bytes, char c, qsizetype from)
{
    const qsizetype at = bytes.indexOf(c, from);
    return at < 0 ? bytes.size() : at;
}

// Line and column (from 1, in bytes) of a byte offset.
void locate(const QByteArray &bytes, qsizetype offset, DocumentFault &f)
{
    offset = qBound<qsizetype>(0, offset, bytes.size());
    const qsizetype lineStart = bytes.lastIndexOf('\n', offset - 1) + 1;
    f.line = int(bytes.left(lineStart).count('\n')) + 1;
    f.column = int(offset - lineStart) + 1;
}

// The path of the innermost element holding a byte offset ("/" before the root).
QString pathAt(const QList<ElementSpan> &spans, qsizetype offset)
{
    QString path = QStringLiteral("/");
    for (const ElementSpan &s : spans) {
        if (s.begin > offset)
            break;
        if (offset < s.end)
            path = s.path;
    }
    return path;
}

DocumentFault faultAt(const QByteArray &bytes, const QList<ElementSpan> &spans, qsizetype offset,
                      const QString &message)
{
    DocumentFault f;
    f.path = pathAt(spans, offset);
    f.message = message;
    locate(bytes, offset, f);
    return f;
}

QString hexBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// The length of a valid UTF-8 multibyte sequence starting at `i`, or 0.
int utf8SequenceAt(const QByteArray &bytes, qsizetype i)
{
    const auto b = uchar(bytes.at(i));
    const int length = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    if (length == 0 || i + length > bytes.size())
        return 0;
    for (int k = 1; k < length; ++k)
        if ((uchar(bytes.at(i + k)) & 0xC0) != 0x80)
            return 0;
    return length;
}

// The control characters XML 1.0 does not allow (DEL and the C1 range are allowed).
bool forbiddenControl(uchar b)
{
    return b < 0x20 && b != '\t' && b != '\n' && b != '\r';
}

// The value of the declaration's encoding pseudo-attribute, its offset, or an empty value.
QByteArray declaredEncoding(const QByteArray &declaration, qsizetype &at)
{
    const qsizetype key = declaration.indexOf("encoding");
    if (key < 0)
        return {};
    qsizetype i = key + 8;
    while (i < declaration.size() && (declaration.at(i) == ' ' || declaration.at(i) == '='))
        ++i;
    if (i >= declaration.size() || (declaration.at(i) != '"' && declaration.at(i) != '\''))
        return {};
    const char quote = declaration.at(i);
    const qsizetype close = declaration.indexOf(quote, i + 1);
    if (close < 0)
        return {};
    at = i + 1;
    return declaration.mid(i + 1, close - i - 1);
}

// ---- The schema, compiled once ----------------------------------------------------------------

struct SchemaFree {
    void operator()(xmlSchemaPtr s) const { xmlSchemaFree(s); }
};
using SchemaPtr = std::unique_ptr<xmlSchema, SchemaFree>;

struct ValidationContext {
    const QByteArray &bytes;
    QHash<QString, qsizetype> elementAt;  // path -> offset of its start tag, filled at the first fault
    QList<DocumentFault> faults;
};

void collectSchemaError(void *userData, xmlErrorPtr error)
{
    auto *messages = static_cast<QStringList *>(userData);
    messages->append(QString::fromUtf8(error->message).trimmed());
}

struct CompiledSchema {
    SchemaPtr schema;
    QString error;
};

const CompiledSchema &compiledSchema()
{
    static const CompiledSchema compiled = [] {
        xmlInitParser();
        CompiledSchema c;
        const QByteArray xsd = b2dSchema();
        QStringList messages;
        xmlSchemaParserCtxtPtr parser = xmlSchemaNewMemParserCtxt(xsd.constData(), int(xsd.size()));
        xmlSchemaSetParserStructuredErrors(parser, collectSchemaError, &messages);
        c.schema.reset(xmlSchemaParse(parser));
        xmlSchemaFreeParserCtxt(parser);
        if (!c.schema)
            c.error = QStringLiteral("the B2D schema cannot be compiled: ")
                + messages.join(QStringLiteral("; "));
        return c;
    }();
    return compiled;
}

void collectValidityError(void *userData, xmlErrorPtr error)
{
    auto *ctx = static_cast<ValidationContext *>(userData);
    auto *node = static_cast<xmlNodePtr>(error->node);
    while (node && node->type != XML_ELEMENT_NODE)
        node = node->parent;
    DocumentFault f;
    if (node) {
        xmlChar *path = xmlGetNodePath(node);
        f.path = QString::fromUtf8(reinterpret_cast<const char *>(path));
        xmlFree(path);
    } else {
        f.path = QStringLiteral("/");
    }
    f.message = QString::fromUtf8(error->message).trimmed();
    if (ctx->elementAt.isEmpty())
        for (const ElementSpan &s : elementSpans(ctx->bytes))
            ctx->elementAt.insert(s.path, s.begin);
    locate(ctx->bytes, ctx->elementAt.value(f.path, 0), f);
    if (!ctx->elementAt.contains(f.path))
        f.line = error->line;
    ctx->faults.append(f);
}

QList<DocumentFault> schemaFaults(const QByteArray &bytes)
{
    const CompiledSchema &compiled = compiledSchema();
    if (!compiled.schema)
        return {DocumentFault{QStringLiteral("/"), 1, 1, compiled.error}};

    ValidationContext ctx{bytes, {}, {}};

    xmlDocPtr doc = xmlReadMemory(bytes.constData(), int(bytes.size()), "document.xml", nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!doc)
        return {DocumentFault{QStringLiteral("/"), 1, 1, QStringLiteral("the document cannot be parsed")}};
    xmlSchemaValidCtxtPtr validation = xmlSchemaNewValidCtxt(compiled.schema.get());
    xmlSchemaSetValidStructuredErrors(validation, collectValidityError, &ctx);
    const int result = xmlSchemaValidateDoc(validation, doc);
    xmlSchemaFreeValidCtxt(validation);
    xmlFreeDoc(doc);
    if (result != 0 && ctx.faults.isEmpty())
        ctx.faults.append(DocumentFault{QStringLiteral("/"), 1, 1,
                                        QStringLiteral("the document does not follow the B2D schema")});
    return ctx.faults;
}

}  // namespace

QList<ElementSpan> elementSpans(const QByteArray &bytes)
{
    struct Raw {
        QByteArray name;
        qsizetype begin, end, parent;
    };
    QList<Raw> raw;
    QList<qsizetype> open;
    const qsizetype n = bytes.size();
    for (qsizetype i = bytes.indexOf('<'); i >= 0 && i < n; i = bytes.indexOf('<', i)) {
        auto skipPast = [&](const char *terminator) {
            const qsizetype at = bytes.indexOf(terminator, i);
            i = at < 0 ? n : at + qsizetype(qstrlen(terminator));
        };
        if (bytes.mid(i, 2) == "<?") {
            skipPast("?>");
        } else if (bytes.mid(i, 4) == "<!--") {
            skipPast("-->");
        } else if (bytes.mid(i, 9) == "<![CDATA[") {
            skipPast("]]>");
        } else if (bytes.mid(i, 2) == "<!") {
            skipPast(">");
        } else if (bytes.mid(i, 2) == "</") {
            skipPast(">");
            if (!open.isEmpty())
                raw[open.takeLast()].end = i;
        } else {
            qsizetype j = i + 1;
            while (j < n && !QByteArrayView(" \t\r\n/>").contains(bytes.at(j)))
                ++j;
            Raw r{bytes.mid(i + 1, j - i - 1), i, n, open.isEmpty() ? -1 : open.last()};
            char quote = 0;
            for (; j < n; ++j) {
                const char c = bytes.at(j);
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            const bool empty = j < n && bytes.at(j - 1) == '/';
            i = j + 1;
            if (empty)
                r.end = i;
            raw.append(r);
            if (!empty)
                open.append(raw.size() - 1);
        }
    }

    // Paths as libxml2 writes them: an index only among siblings that share a name.
    QHash<QPair<qsizetype, QByteArray>, int> total;
    for (const Raw &r : raw)
        ++total[qMakePair(r.parent, r.name)];
    QHash<QPair<qsizetype, QByteArray>, int> seen;
    QList<ElementSpan> spans;
    spans.reserve(raw.size());
    for (const Raw &r : raw) {
        const auto key = qMakePair(r.parent, r.name);
        const int index = ++seen[key];
        QString path = (r.parent < 0 ? QString() : spans.at(r.parent).path) + QLatin1Char('/')
            + QString::fromLatin1(r.name);
        if (total.value(key) > 1)
            path += QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
        spans.append(ElementSpan{path, r.begin, r.end, r.parent});
    }
    return spans;
}

QList<DocumentFault> encodingFaults(const QByteArray &bytes)
{
    // Offsets and messages first; the elements are looked for only when there is a fault.
    QList<std::pair<qsizetype, QString>> found;
    qsizetype start = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        found.append({0, QStringLiteral("a UTF-8 byte-order mark opens the file")});
        start = 3;
    } else if (bytes.startsWith("\xFE\xFF") || bytes.startsWith("\xFF\xFE")) {
        found.append({0, QStringLiteral("a UTF-16 byte-order mark opens the file")});
        start = 2;
    }

    const QString expected = QStringLiteral("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>");
    if (bytes.mid(start, 5) != "<?xml") {
        found.append({start, QStringLiteral("no XML declaration: the file must open with ") + expected});
    } else {
        const QByteArray declaration = bytes.mid(start, indexOfByte(bytes, '>', start) - start + 1);
        qsizetype at = 0;
        const QByteArray encoding = declaredEncoding(declaration, at);
        if (encoding.isEmpty())
            found.append({start, QStringLiteral("the XML declaration names no encoding: ") + expected
                                     + QStringLiteral(" expected")});
        else if (encoding.toLower() != "iso-8859-1")
            found.append({start + at,
                          QStringLiteral("the XML declaration names the encoding \"%1\", not iso-8859-1")
                              .arg(QString::fromLatin1(encoding))});
    }

    int more = 0;
    auto add = [&](qsizetype offset, const QString &message) {
        if (found.size() < kMaxEncodingFaults)
            found.append({offset, message});
        else
            ++more;
    };
    for (qsizetype i = start; i < bytes.size(); ++i) {
        const auto b = uchar(bytes.at(i));
        if (b < 0x80 && !forbiddenControl(b))
            continue;  // the common case
        if (const int length = utf8SequenceAt(bytes, i)) {
            add(i, QStringLiteral("UTF-8 multibyte sequence %1: the file must be ISO-8859-1")
                       .arg(hexBytes(bytes.mid(i, length))));
            i += length - 1;
        } else if (forbiddenControl(b)) {
            add(i, QStringLiteral("control byte %1 is not allowed").arg(hexBytes(bytes.mid(i, 1))));
        }
    }

    QList<DocumentFault> faults;
    if (found.isEmpty())
        return faults;
    const QList<ElementSpan> spans = elementSpans(bytes);
    for (const auto &[offset, message] : found)
        faults.append(faultAt(bytes, spans, offset, message));
    if (more > 0)
        faults.append(DocumentFault{QStringLiteral("/"), faults.last().line, faults.last().column,
                                    QStringLiteral("%1 more encoding faults").arg(more)});
    return faults;
}

namespace {

// libxml2's parser with no handler at all: only whether the document is well-formed, at a
// fraction of the cost of reading it token by token. Its errors are not printed.
bool wellFormedByLibxml(const QByteArray &bytes)
{
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    (void)initialised;
    if (bytes.size() > std::numeric_limits<int>::max())
        return false;
    xmlSAXHandler handler{};
    handler.initialized = XML_SAX2_MAGIC;
    handler.serror = [](void *, xmlError *) {};
    // Fed a piece at a time: given the whole document in memory, the parser would first copy it
    // and then decode all of it into a second buffer twice its size.
    constexpr qsizetype kPiece = qsizetype(1) << 16;
    const qsizetype first = std::min<qsizetype>(4, bytes.size());
    const std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxtPtr)> ctxt(
        xmlCreatePushParserCtxt(&handler, nullptr, bytes.constData(), int(first), nullptr), xmlFreeParserCtxt);
    if (!ctxt)
        return false;
    for (qsizetype at = first; at < bytes.size() && ctxt->wellFormed; at += kPiece) {
        const qsizetype n = std::min(kPiece, bytes.size() - at);
        xmlParseChunk(ctxt.get(), bytes.constData() + at, int(n), 0);
    }
    xmlParseChunk(ctxt.get(), nullptr, 0, 1);
    return ctxt->wellFormed != 0;
}

}  // namespace

bool plainlyWellFormed(const QByteArray &bytes)
{
    // The bytes are ISO-8859-1 characters, one each. Where the form ends (a declaration written
    // otherwise, an attribute, a blank inside a tag, a comment, an unknown entity, a name outside
    // ASCII letters, digits, '_', '-' and '.') or where a limit of the full parser might be near,
    // the answer is false and the full parser decides.
    constexpr std::string_view declarations[] = {R"(<?xml version="1.0" encoding="iso-8859-1"?>)",
                                                 R"(<?xml version="1.0" encoding="ISO-8859-1"?>)"};
    constexpr int kMaxDepth = 64;
    constexpr qsizetype kMaxName = 256;
    constexpr qsizetype kMaxText = qsizetype(1) << 20;

    const std::string_view doc(bytes.constData(), size_t(bytes.size()));
    const auto declared = std::find_if(std::begin(declarations), std::end(declarations),
                                       [&](std::string_view d) { return doc.substr(0, d.size()) == d; });
    if (declared == std::end(declarations))
        return false;

    // The kind of each byte in text (ordinary, markup, or one text may not hold) and in names.
    enum : uchar { Plain, Open, Amp, Bracket, Blank, Bad, NameStart = 0x10, NameChar = 0x20 };
    static const std::array<uchar, 256> kinds = [] {
        std::array<uchar, 256> k{};
        for (int b = 0; b < 0x20; ++b)
            k[size_t(b)] = Bad;
        k['\t'] = k['\n'] = k['\r'] = k[' '] = Blank;
        k['<'] = Open;
        k['&'] = Amp;
        k[']'] = Bracket;
        for (int b = 0; b < 256; ++b)
            if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_')
                k[size_t(b)] |= NameStart | NameChar;
            else if ((b >= '0' && b <= '9') || b == '-' || b == '.')
                k[size_t(b)] |= NameChar;
        return k;
    }();
    const auto nameStart = [&](char c) { return kinds[uchar(c)] & NameStart; };
    const auto nameChar = [&](char c) { return kinds[uchar(c)] & NameChar; };
    const auto validChar = [](quint32 c) {
        return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
               || (c >= 0x10000 && c <= 0x10FFFF);
    };
    // One reference after its '&', up to its ';': true when it is one of the form.
    const auto reference = [&](size_t &i) {
        static constexpr std::string_view predefined[] = {"amp;", "lt;", "gt;", "quot;", "apos;"};
        for (std::string_view p : predefined)
            if (doc.substr(i, p.size()) == p) {
                i += p.size();
                return true;
            }
        if (i >= doc.size() || doc[i] != '#')
            return false;
        ++i;
        const bool hex = i < doc.size() && doc[i] == 'x';
        if (hex)
            ++i;
        quint32 value = 0;
        size_t digits = 0;
        for (; i < doc.size() && digits <= 8; ++i, ++digits) {
            const char c = doc[i];
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                break;
            value = value * (hex ? 16 : 10) + quint32(d);
        }
        if (digits == 0 || digits > 8 || i >= doc.size() || doc[i] != ';' || !validChar(value))
            return false;
        ++i;
        return true;
    };

    std::vector<std::string_view> open;
    bool rootSeen = false;
    size_t i = declared->size();
    while (i < doc.size()) {
        // Text up to the next tag.
        const size_t textStart = i;
        bool onlyBlanks = true;
        for (; i < doc.size(); ++i) {
            const uchar kind = kinds[uchar(doc[i])] & 0x0F;
            if (kind == Plain) {
                onlyBlanks = false;
            } else if (kind == Blank) {
            } else if (kind == Open) {
                break;
            } else if (kind == Amp) {
                ++i;
                if (!reference(i))
                    return false;
                --i;
                onlyBlanks = false;
            } else if (kind == Bracket) {
                if (doc.substr(i, 3) == "]]>")
                    return false;
                onlyBlanks = false;
            } else {
                return false;
            }
        }
        if (i - textStart > size_t(kMaxText) || (open.empty() && !onlyBlanks))
            return false;
        if (i == doc.size())
            break;

        // A tag: <name>, <name/> or </name>, nothing else.
        ++i;
        const bool closing = i < doc.size() && doc[i] == '/';
        if (closing)
            ++i;
        const size_t nameBegin = i;
        if (i >= doc.size() || !nameStart(doc[i]))
            return false;
        while (i < doc.size() && nameChar(doc[i]))
            ++i;
        const std::string_view name = doc.substr(nameBegin, i - nameBegin);
        if (name.size() > size_t(kMaxName))
            return false;
        if (closing) {
            if (i >= doc.size() || doc[i] != '>' || open.empty() || open.back() != name)
                return false;
            open.pop_back();
            ++i;
            continue;
        }
        if (rootSeen && open.empty())
            return false;  // a second root
        rootSeen = true;
        if (doc.substr(i, 2) == "/>") {
            i += 2;
            continue;
        }
        if (i >= doc.size() || doc[i] != '>' || open.size() >= size_t(kMaxDepth))
            return false;
        open.push_back(name);
        ++i;
    }
    return rootSeen && open.empty();
}

std::optional<DocumentFault> wellFormednessFault(const QByteArray &bytes)
{
    // A document of the program's own plain form is decided in one pass; what libxml2 takes whole
    // is well-formed; anything else is read again to tell where and why, and that reading decides.
    if (plainlyWellFormed(bytes) || wellFormedByLibxml(bytes))
        return std::nullopt;

    // The fault is placed at the start of the token the reader could not take; offsets of an
    // ISO-8859-1 document count bytes.
    // The reader is handed the bytes a piece at a time: given the whole document at once it
    // would decode all of it into text first (twice the document's size, twice over).
    constexpr qsizetype kPiece = qsizetype(1) << 16;
    QXmlStreamReader xml;
    qsizetype handed = 0;
    const auto handOn = [&] {
        const qsizetype n = std::min(kPiece, bytes.size() - handed);
        xml.addData(QByteArrayView(bytes).sliced(handed, n).toByteArray());
        handed += n;
    };
    handOn();
    qint64 tokenStart = 0;
    bool resuming = false;
    while (true) {
        if (!resuming)
            tokenStart = xml.characterOffset();
        xml.readNext();
        // Out of bytes in the middle of a token: the reader takes it up again with the next piece.
        resuming = xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && handed < bytes.size();
        if (resuming)
            handOn();
        else if (xml.atEnd())
            break;
    }
    if (!xml.hasError())
        return std::nullopt;
    // The reader has already taken the first character of what it failed on: the '<' of the
    // next tag, or a character no XML allows.
    if (tokenStart > 0 && tokenStart <= bytes.size()
        && (bytes.at(tokenStart - 1) == '<' || forbiddenControl(uchar(bytes.at(tokenStart - 1)))))
        --tokenStart;
    return faultAt(bytes, elementSpans(bytes), tokenStart,
                   QStringLiteral("not well-formed: ") + xml.errorString());
}

QList<DocumentFault> validateB2DDocument(const QByteArray &bytes)
{
    QList<DocumentFault> faults = encodingFaults(bytes);
    if (const std::optional<DocumentFault> f = wellFormednessFault(bytes)) {
        faults.append(*f);
        return faults;
    }
    faults.append(schemaFaults(bytes));
    return faults;
}

QByteArray b2dSchema()
{
    QFile f(QStringLiteral(":/schema/b2d.xsd"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace b2d
