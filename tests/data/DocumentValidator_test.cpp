// The B2D validator: the hand-written golden documents and what the demo generates pass; a golden
// document with any required element deleted, any two neighbouring elements swapped, or a broken
// encoding is rejected, and the fault names the element and its column.

#include "data/DocumentValidator.h"
#include "e2e/DemoCliRun.h"
#include "support/TestSupport.h"

#include <libxml/parser.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>
#include <random>

using namespace Qt::StringLiterals;
using b2d::DocumentFault;
using b2d::ElementSpan;
using b2d::validateB2DDocument;

namespace {

const char *const kGolden[] = {"import.xml",         "import_di.xml", "import_grouped.xml",
                               "export.xml",         "export_items.xml", "licence.xml"};

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray golden(const char *name)
{
    return b2d::test::readGolden(name);
}

std::string describe(const QList<DocumentFault> &faults)
{
    QString text;
    for (const DocumentFault &f : faults)
        text += u"%1:%2: %3: %4\n"_s.arg(f.line).arg(f.column).arg(f.path, f.message);
    return text.toStdString();
}

QString lastName(const QString &path)
{
    QString name = path.section(u'/', -1);
    return name.left(name.indexOf(u'['));
}

// Elements a builder writes only on a condition or once per row: deleting one keeps the document
// valid. Import products carry a part number, a customs value and a reference code only for
// some subitems; an export product always has them.
bool deletable(const QString &document, const QString &name, int sameNamedSiblings)
{
    static const QSet<QString> optional = {
        u"declarationEntity"_s,   u"declarationItemEntity"_s, u"declarationDuty"_s,
        u"declarationItemDuty"_s, u"productDuty"_s,           u"declarationItem"_s,
        u"declarationItemProduct"_s, u"declarationInvoices"_s, u"declarationItemFlexField"_s,
        u"productReferenceCodeDetail"_s, u"licenseEntity"_s,  u"licenseItem"_s,
        u"itemSubItem"_s,         u"subItemDetail"_s};
    static const QSet<QString> optionalInImports = {u"productPartNumber"_s, u"productCustomsValue"_s,
                                                    u"productReferenceCode"_s};
    if (optional.contains(name))
        return true;
    if (document == u"importDeclaration" && optionalInImports.contains(name))
        return true;
    return name == u"declarationEvent" && sameNamedSiblings > 1;
}

// Why a mutation that had to be rejected was not, or was rejected without naming the element:
// empty when some fault lies in `parentPath` (the parent itself or one of its descendants) and
// its column points at the start tag of the element it names.
QString rejectionProblem(const QByteArray &mutated, const QString &parentPath)
{
    const QList<DocumentFault> faults = validateB2DDocument(mutated);
    if (faults.isEmpty())
        return u"accepted"_s;
    for (const DocumentFault &f : faults) {
        if (f.path != parentPath && !f.path.startsWith(parentPath + u'/'))
            continue;
        const QByteArray tag = '<' + lastName(f.path).toLatin1();
        if (f.line == 1 && mutated.mid(f.column - 1, tag.size()) == tag)
            return {};
        return u"column %1 is not the start of %2"_s.arg(f.column).arg(f.path);
    }
    return u"no fault under %1, got: %2"_s.arg(parentPath, QString::fromStdString(describe(faults)));
}

}  // namespace

TEST(DocumentValidator, GoldenDocumentsAndEveryDemoOutputAreValid)
{
    for (const char *name : kGolden) {
        SCOPED_TRACE(name);
        const QByteArray bytes = golden(name);
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_TRUE(validateB2DDocument(bytes).isEmpty()) << describe(validateB2DDocument(bytes));
    }

    // Every operation of the demo: both imports, the export, the licence, and the rest of the list.
    b2d::test::DemoCliRun run;
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    ASSERT_EQ(run.generate({u"26001IC04000123A"_s, u"26001IC04000131C"_s, u"26073IC04000088F"_s,
                            u"26001EC01000045B"_s, u"26001EC01000039X"_s, u"26001DJAI000007K"_s}),
              0)
        << run.err.toStdString();
    const QStringList files = run.outFiles();
    ASSERT_EQ(files.size(), 6) << files.join(u' ').toStdString();
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        const QList<DocumentFault> faults = validateB2DDocument(readBytes(run.outPath(file)));
        EXPECT_TRUE(faults.isEmpty()) << describe(faults);
    }
}

TEST(DocumentValidator, DeletedRequiredElementsAndSwappedNeighboursAreRejectedWhereTheyAre)
{
    for (const char *name : kGolden) {
        SCOPED_TRACE(name);
        const QByteArray bytes = golden(name);
        const QList<ElementSpan> spans = b2d::elementSpans(bytes);
        ASSERT_GT(spans.size(), 100);
        const QString document = lastName(spans.at(1).path);

        QStringList problems;
        int deletions = 0, swaps = 0;
        for (qsizetype i = 1; i < spans.size(); ++i) {
            const ElementSpan &e = spans.at(i);
            const QString parentPath = spans.at(e.parent).path;
            const QString elementName = lastName(e.path);

            int sameNamed = 0;
            qsizetype next = -1;  // the next sibling
            for (qsizetype k = 1; k < spans.size(); ++k) {
                if (spans.at(k).parent != e.parent)
                    continue;
                sameNamed += lastName(spans.at(k).path) == elementName;
                if (next < 0 && spans.at(k).begin >= e.end)
                    next = k;
            }

            if (!deletable(document, elementName, sameNamed)) {
                ++deletions;
                const QByteArray mutated = bytes.left(e.begin) + bytes.mid(e.end);
                if (const QString p = rejectionProblem(mutated, parentPath); !p.isEmpty())
                    problems << u"deleting %1: %2"_s.arg(e.path, p);
            }
            if (next >= 0 && lastName(spans.at(next).path) != elementName) {
                ++swaps;
                const ElementSpan &n = spans.at(next);
                const QByteArray mutated = bytes.left(e.begin) + bytes.mid(n.begin, n.end - n.begin)
                    + bytes.mid(e.end, n.begin - e.end) + bytes.mid(e.begin, e.end - e.begin)
                    + bytes.mid(n.end);
                if (const QString p = rejectionProblem(mutated, parentPath); !p.isEmpty())
                    problems << u"swapping %1 and %2: %3"_s.arg(e.path, n.path, p);
            }
        }
        EXPECT_GT(deletions, 50);
        EXPECT_GT(swaps, 50);
        EXPECT_TRUE(problems.isEmpty()) << problems.size() << " mutations not rejected as expected:\n"
                                        << problems.mid(0, 10).join(u'\n').toStdString();
    }
}

TEST(DocumentValidator, BrokenEncodingsAndNumbersOffTheirMaskAreRejectedWhereTheyAre)
{
    const QByteArray original = golden("import.xml");
    const QByteArray latin1Name = "P\xE9rez &amp; Hijos";  // an ISO-8859-1 e-acute, valid
    const qsizetype name = original.indexOf(latin1Name);
    ASSERT_GT(name, 0);
    const QString entityName = u"/Broker2Dorvane/importDeclaration/declarationEntity[1]/entityName"_s;
    const QByteArray declaration = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>";
    ASSERT_TRUE(original.startsWith(declaration));
    const QByteArray body = original.mid(declaration.size());

    const QString head = u"/Broker2Dorvane/importDeclaration/"_s;
    auto columnOf = [&](const char *text) { return int(original.indexOf(text)) + 1; };
    struct Case {
        const char *what;
        QByteArray document;
        int column;         // of the first fault
        QString path;       // of the first fault
        QString message;    // a piece of the first fault's message
    };
    const Case cases[] = {
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF" + original, 1, u"/"_s, u"a UTF-8 byte-order mark"_s},
        {"UTF-8 multibyte sequence",
         QByteArray(original).replace(name + 1, 1, "\xC3\xA9"), int(name) + 2, entityName,
         u"UTF-8 multibyte sequence C3 A9"_s},
        {"control byte", QByteArray(original).insert(name + 3, '\x01'), int(name) + 4, entityName,
         u"control byte 01"_s},
        {"another encoding declared", QByteArray(original).replace("iso-8859-1", "UTF-8"), 31, u"/"_s,
         u"names the encoding \"UTF-8\""_s},
        {"no encoding declared", "<?xml version=\"1.0\"?>" + body, 1, u"/"_s, u"names no encoding"_s},
        {"no declaration", body, 1, u"/Broker2Dorvane"_s, u"no XML declaration"_s},
        {"decimal comma", QByteArray(original).replace(">10000.00<", ">10000,00<"),
         columnOf("<declarationFOBValue>"), head + u"declarationFOBValue"_s, u"pattern"_s},
        {"rate with two decimals", QByteArray(original).replace(">39.4567892<", ">39.46<"),
         columnOf("<declarationUSDRate>"), head + u"declarationUSDRate"_s, u"pattern"_s},
        {"exponent", QByteArray(original).replace(">10000.00<", ">1e4<"),
         columnOf("<declarationFOBValue>"), head + u"declarationFOBValue"_s, u"pattern"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QList<DocumentFault> faults = validateB2DDocument(c.document);
        ASSERT_FALSE(faults.isEmpty());
        EXPECT_EQ(faults.first().column, c.column) << describe(faults);
        EXPECT_EQ(faults.first().path, c.path) << describe(faults);
        EXPECT_TRUE(faults.first().message.contains(c.message)) << describe(faults);
    }
}

// The one-pass check of the program's own plain form never takes a document libxml2 refuses, takes
// every golden document, and leaves whatever is outside the form to the full parser.
TEST(DocumentValidator, ThePlainFormCheckTakesNothingTheFullParserRefuses)
{
    const auto libxmlTakes = [](const QByteArray &d) {
        xmlDocPtr doc = xmlReadMemory(d.constData(), int(d.size()), nullptr, nullptr,
                                      XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NONET);
        xmlFreeDoc(doc);
        return doc != nullptr;
    };
    const QByteArray original = golden("import.xml");
    const qsizetype text = original.indexOf("P\xE9rez") + 1;  // inside an element's text
    const qsizetype tag = original.indexOf("<entityName>");
    ASSERT_GT(text, 0);
    const struct {
        qsizetype at;
        const char *inserted;
        bool plain;  // taken in one pass
        bool wellFormed;
    } cases[] = {
        {text, "&#x10FFFF;&#233;&#13;&quot;&apos;", true, true},
        {text, "]]", true, true},
        {text, "\x85\x7F", true, true},
        {tag, "<a.b-c_1/>", true, true},
        {text, "&#0;", false, false},
        {text, "&#xD800;", false, false},
        {text, "&#X41;", false, false},
        {text, "&#123456789;", false, false},
        {text, "&nbsp;", false, false},
        {text, "& ", false, false},
        {text, "]]>", false, false},
        {text, "\x01", false, false},
        {text, "<", false, false},
        {tag, "<1a/>", false, false},
        {tag, "<a></b>", false, false},
        {tag, "</entityName>", false, false},
        {original.size(), "x", false, false},
        {original.size(), "<again/>", false, false},
        {0, " ", false, false},
        // Well-formed, but outside the form: the full parser decides.
        {tag, "<a b=\"1\"/>", false, true},
        {tag, "<a />", false, true},
        {tag, "<!-- a -->", false, true},
        {tag, "<ns:a/>", false, true},
        {original.size(), "\n", true, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.inserted);
        const QByteArray d = QByteArray(original).insert(c.at, c.inserted);
        EXPECT_EQ(b2d::plainlyWellFormed(d), c.plain);
        EXPECT_EQ(libxmlTakes(d), c.wellFormed);
        EXPECT_EQ(!b2d::wellFormednessFault(d).has_value(), c.wellFormed);
    }
    for (const char *name : kGolden)
        EXPECT_TRUE(b2d::plainlyWellFormed(golden(name))) << name;

    // Random damage of a few bytes each: whatever the one pass takes, libxml2 takes.
    std::mt19937 random(20261210);
    const QByteArray alphabet = "<>/&;#x]!?=\"' aZ09-.\x01\x85\xE9";
    int taken = 0;
    for (int n = 0; n < 3000; ++n) {
        QByteArray d = original;
        for (int k = 1 + int(random() % 3); k > 0; --k) {
            const qsizetype at = qsizetype(random() % quint32(d.size()));
            const char b = alphabet.at(qsizetype(random() % quint32(alphabet.size())));
            if (random() % 2)
                d[at] = b;
            else
                d.insert(at, b);
        }
        if (b2d::plainlyWellFormed(d)) {
            ++taken;
            ASSERT_TRUE(libxmlTakes(d)) << d.toStdString();
        }
    }
    EXPECT_GT(taken, 100);  // the damage often falls in text and stays well-formed
}
