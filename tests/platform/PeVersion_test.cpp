#include "platform/PeVersion.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace b2d;

namespace {

// An executable image built here, independently of the stand-in writer, with the offsets of the
// fields that the corruption cases patch.
struct Image {
    QByteArray bytes;
    qint64 lfanew = 0x80;
    qint64 sectionCountAt = 0, optionalSizeAt = 0, resourceDirAt = 0, sectionTableAt = 0;
    qint64 rsrcRaw = 0x400;  // file offset of the resource section
    qint64 typeDirAt = 0, versionTypeEntryAt = 0, nameDirAt = 0, langDirAt = 0, dataEntryAt = 0;
    qint64 blockAt = 0, fixedAt = 0;
    qint64 dataEnd = 0;  // first byte after the version resource

    void put16(qint64 at, quint16 v)
    {
        bytes[at] = char(v & 0xFF);
        bytes[at + 1] = char(v >> 8);
    }
    void put32(qint64 at, quint32 v)
    {
        put16(at, quint16(v & 0xFFFF));
        put16(at + 2, quint16(v >> 16));
    }
};

struct Writer {
    QByteArray b;
    void u16(quint16 v) { b.append(char(v & 0xFF)).append(char(v >> 8)); }
    void u32(quint32 v) { u16(quint16(v & 0xFFFF)), u16(quint16(v >> 16)); }
    void u64(quint64 v) { u32(quint32(v)), u32(quint32(v >> 32)); }
    void padTo(qint64 n) { b.append(QByteArray(n - b.size(), '\0')); }
};

struct ImageShape {
    bool pe64 = false;
    bool withVersion = true;
    quint32 productMS = 0x00030004, productLS = 0x00000078;  // 3.4.0.120
};

Image buildImage(const ImageShape &shape)
{
    Image img;
    constexpr quint32 rsrcRva = 0x2000;
    Writer w;
    w.b = QByteArray("MZ");
    w.padTo(0x3C);
    w.u32(quint32(img.lfanew));
    w.padTo(img.lfanew);
    w.b.append(QByteArray("PE\0\0", 4));
    img.sectionCountAt = w.b.size() + 2;
    const quint16 optionalSize = shape.pe64 ? 240 : 224;
    w.u16(shape.pe64 ? 0x8664 : 0x014C), w.u16(2), w.u32(0), w.u32(0), w.u32(0);
    img.optionalSizeAt = w.b.size();
    w.u16(optionalSize), w.u16(0x0022);
    const qint64 optional = w.b.size();
    w.u16(shape.pe64 ? 0x20B : 0x10B);
    w.padTo(optional + (shape.pe64 ? 108 : 92));
    w.u32(16);
    img.resourceDirAt = w.b.size() + 2 * 8;
    w.padTo(img.resourceDirAt);
    w.u32(rsrcRva), w.u32(0x200);
    w.padTo(optional + optionalSize);
    // .text first (so the walk must pick the right section), then .rsrc.
    img.sectionTableAt = w.b.size();
    w.b.append(QByteArray(".text\0\0\0", 8)), w.u32(0x100), w.u32(0x1000), w.u32(0x200), w.u32(0x200);
    w.padTo(w.b.size() + 16);
    w.b.append(QByteArray(".rsrc\0\0\0", 8)), w.u32(0x200), w.u32(rsrcRva), w.u32(0x200), w.u32(0x400);
    w.padTo(w.b.size() + 16);
    w.padTo(0x200);
    w.b.append(QByteArray(0x200, '\x90'));

    // Resource tree: a named type and an icon type before the version type.
    const qint64 r = img.rsrcRaw;
    w.padTo(r);
    auto dirHead = [&](quint16 named, quint16 ids) { w.u32(0), w.u32(0), w.u32(0), w.u16(named), w.u16(ids); };
    img.typeDirAt = r;
    dirHead(1, shape.withVersion ? 2 : 1);
    w.u32(0x80000000u | 0x100), w.u32(0x80000000u | 0x60);  // named type
    w.u32(3), w.u32(0x80000000u | 0x60);                     // icons
    img.versionTypeEntryAt = w.b.size();
    if (shape.withVersion)
        w.u32(16), w.u32(0x80000000u | 0x40);
    w.padTo(r + 0x40);
    img.nameDirAt = w.b.size();
    dirHead(0, 1), w.u32(1), w.u32(0x80000000u | 0x80);
    w.padTo(r + 0x60);
    dirHead(0, 1), w.u32(1), w.u32(0x80000000u | 0x80);  // icon names share the language level
    w.padTo(r + 0x80);
    img.langDirAt = w.b.size();
    dirHead(0, 1), w.u32(0x0C0A), w.u32(0xA0);
    w.padTo(r + 0xA0);
    img.dataEntryAt = w.b.size();
    w.u32(rsrcRva + 0xC0), w.u32(0), w.u32(0), w.u32(0);
    w.padTo(r + 0xC0);
    img.blockAt = w.b.size();
    w.u16(0), w.u16(52), w.u16(0);
    for (QChar c : QStringLiteral("VS_VERSION_INFO"))
        w.u16(c.unicode());
    w.u16(0);
    w.padTo(img.blockAt + 40);
    img.fixedAt = w.b.size();
    w.u32(0xFEEF04BD), w.u32(0x10000);
    w.u32(0x00010002), w.u32(0x00030004);  // a file version unlike the product version
    w.u32(shape.productMS), w.u32(shape.productLS);
    w.padTo(img.fixedAt + 52);
    // A StringFileInfo child follows the fixed information.
    w.u16(36), w.u16(0), w.u16(1);
    for (QChar c : QStringLiteral("StringFileInfo"))
        w.u16(c.unicode());
    w.u16(0);
    const qint64 blockSize = w.b.size() - img.blockAt;
    img.dataEnd = w.b.size();
    w.padTo(r + 0x200);
    img.bytes = w.b;
    img.put16(img.blockAt, quint16(blockSize));
    img.put32(img.dataEntryAt + 4, quint32(blockSize));
    return img;
}

TEST(PeVersion, ReadsTheProductVersionOfWellFormedImages)
{
    struct Case {
        const char *name;
        ImageShape shape;
        const char *expected;
    } cases[] = {
        {"32-bit", {false, true, 0x00030004, 0x00000078}, "3.4.0.120"},
        {"64-bit", {true, true, 0x00030004, 0x00000078}, "3.4.0.120"},
        {"largest parts", {false, true, 0xFFFFFFFF, 0xFFFEFFFD}, "65535.65535.65534.65533"},
        {"zero", {true, true, 0, 0}, "0.0.0.0"},
        {"ten", {false, true, 0x0003000A, 0x00000000}, "3.10.0.0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto v = productVersionOf(buildImage(c.shape).bytes);
        ASSERT_TRUE(v.has_value());
        EXPECT_EQ(*v, QLatin1String(c.expected));
    }
}

TEST(PeVersion, EveryTruncationBeforeTheVersionResourceEndsIsNoVersion)
{
    const Image img = buildImage({});
    // Named points first (inside each structure), then every length in between.
    for (qint64 cut : {qint64(1), qint64(0x3E), img.lfanew + 2, img.sectionCountAt + 1,
                       img.resourceDirAt + 4, img.sectionTableAt + 60, img.rsrcRaw + 8,
                       img.dataEntryAt + 6, img.fixedAt + 20, img.dataEnd - 1}) {
        SCOPED_TRACE(cut);
        EXPECT_FALSE(productVersionOf(img.bytes.left(cut)).has_value());
    }
    for (qint64 cut = 0; cut < img.dataEnd; ++cut)
        ASSERT_FALSE(productVersionOf(img.bytes.left(cut)).has_value()) << cut;
    EXPECT_TRUE(productVersionOf(img.bytes.left(img.dataEnd)).has_value());
}

TEST(PeVersion, MissingVersionOrCorruptedOffsetsAndSizesAreNoVersion)
{
    const struct {
        const char *name;
        std::function<void(Image &)> corrupt;
    } cases[] = {
        {"no version resource", [](Image &i) { i = buildImage({false, false}); }},
        {"no resource directory", [](Image &i) { i.put32(i.resourceDirAt, 0), i.put32(i.resourceDirAt + 4, 0); }},
        {"text file", [](Image &i) { i.bytes = QByteArray("not an executable\r\n").repeated(40); }},
        {"other signature", [](Image &i) { i.bytes[0] = 'P', i.bytes[1] = 'K'; }},
        {"empty", [](Image &i) { i.bytes.clear(); }},
        {"header offset past the end", [](Image &i) { i.put32(0x3C, 0xFFFFFFF0); }},
        {"header offset negative as signed", [](Image &i) { i.put32(0x3C, 0x80000000); }},
        {"huge section count", [](Image &i) { i.put16(i.sectionCountAt, 0xFFFF); }},
        {"optional header larger than the file", [](Image &i) { i.put16(i.optionalSizeAt, 0xFFFF); }},
        {"optional header without directories", [](Image &i) { i.put16(i.optionalSizeAt, 64); }},
        {"unknown optional header", [](Image &i) { i.put16(i.lfanew + 24, 0x0107); }},
        {"resource directory outside every section",
         [](Image &i) { i.put32(i.resourceDirAt, 0x7FFFF000); }},
        {"section data beyond the file", [](Image &i) { i.put32(i.sectionTableAt + 40 + 20, 0x7FFFFF00); }},
        {"section ends before the version", [](Image &i) { i.put32(i.sectionTableAt + 40 + 16, 0xC0); }},
        {"type directory with huge counts",
         [](Image &i) { i.put16(i.typeDirAt + 12, 0xFFFF), i.put16(i.typeDirAt + 14, 0xFFFF); }},
        {"version type points at itself",
         [](Image &i) { i.put32(i.versionTypeEntryAt + 4, 0x80000000u); }},
        {"name level points back at the root",
         [](Image &i) { i.put32(i.nameDirAt + 20, 0x80000000u); }},
        {"language level is a leaf too early",
         [](Image &i) { i.put32(i.nameDirAt + 20, quint32(i.dataEntryAt - i.rsrcRaw)); }},
        {"data entry marked as a directory",
         [](Image &i) { i.put32(i.langDirAt + 20, 0x80000000u | quint32(i.dataEntryAt - i.rsrcRaw)); }},
        {"subdirectory offset past the end", [](Image &i) { i.put32(i.nameDirAt + 20, 0xFFFFFFF0); }},
        {"data size beyond the file", [](Image &i) { i.put32(i.dataEntryAt + 4, 0x7FFFFFFF); }},
        {"data address outside the sections", [](Image &i) { i.put32(i.dataEntryAt, 0x00500000); }},
        {"data address wraps", [](Image &i) { i.put32(i.dataEntryAt, 0xFFFFFFF0); }},
        {"signature missing", [](Image &i) { i.put32(i.fixedAt, 0xFEEF04BC); }},
        {"block length hides the fixed information", [](Image &i) { i.put16(i.blockAt, 50); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Image img = buildImage({});
        c.corrupt(img);
        EXPECT_FALSE(productVersionOf(img.bytes).has_value());
    }
}

TEST(PeVersion, StandInExecutableCarriesItsVersion)
{
    QTemporaryDir dir;
    const struct {
        const char *given;
        const char *read;  // nullptr: refused
    } cases[] = {
        {"3.4.0.120", "3.4.0.120"},
        {"3.10", "3.10.0.0"},
        {"65535.0.0.1", "65535.0.0.1"},
        {"3.4.0.120.1", nullptr},
        {"70000.0.0.0", nullptr},
        {"3.x", nullptr},
        {"", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.given);
        const QString path = dir.path() + QStringLiteral("/Caldra/caldra.exe");
        QFile::remove(path);
        const bool written = writeStandInExecutable(path, QLatin1String(c.given));
        EXPECT_EQ(written, c.read != nullptr);
        if (!c.read) {
            EXPECT_FALSE(QFile::exists(path));
            continue;
        }
        const auto v = readProductVersion(path);
        ASSERT_TRUE(v.has_value());
        EXPECT_EQ(*v, QLatin1String(c.read));
    }
    EXPECT_FALSE(readProductVersion(dir.path() + QStringLiteral("/missing.exe")).has_value());
}

}  // namespace
