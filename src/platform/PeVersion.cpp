#include "platform/PeVersion.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <array>

namespace b2d {

namespace {

constexpr quint32 kFixedInfoSignature = 0xFEEF04BD;
constexpr quint32 kRtVersion = 16;
constexpr int kFixedInfoSize = 52;
constexpr qint64 kMaxVersionBlock = 0xFFFF;  // wLength is a 16-bit count

quint16 le16(const QByteArray &b, qint64 at)
{
    return quint16(quint8(b[at])) | quint16(quint8(b[at + 1])) << 8;
}

quint32 le32(const QByteArray &b, qint64 at)
{
    return quint32(le16(b, at)) | quint32(le16(b, at + 2)) << 16;
}

struct Section {
    quint32 virtualAddress;
    quint32 rawSize;
    quint32 rawPointer;
};

// Bounded random reads: every read names its offset and length and fails, instead of reading
// short or past the end, when the range is not wholly inside the file.
class ImageReader {
public:
    explicit ImageReader(QIODevice &device) : m_device(device), m_size(device.size()) {}

    std::optional<QByteArray> read(qint64 offset, qint64 length)
    {
        if (offset < 0 || length < 0 || offset > m_size || length > m_size - offset)
            return std::nullopt;
        if (!m_device.seek(offset))
            return std::nullopt;
        QByteArray out = m_device.read(length);
        if (out.size() != length)
            return std::nullopt;
        return out;
    }

    // The file offset of `length` bytes at relative virtual address `rva`, when they lie in one
    // section's data in the file.
    std::optional<qint64> fileOffset(quint32 rva, qint64 length) const
    {
        for (const Section &s : m_sections) {
            if (rva < s.virtualAddress)
                continue;
            const qint64 inSection = qint64(rva) - s.virtualAddress;
            if (inSection >= s.rawSize || length > qint64(s.rawSize) - inSection)
                continue;
            const qint64 offset = qint64(s.rawPointer) + inSection;
            if (offset + length > m_size)
                return std::nullopt;
            return offset;
        }
        return std::nullopt;
    }

    std::optional<QByteArray> readAt(quint32 rva, qint64 length)
    {
        const auto offset = fileOffset(rva, length);
        if (!offset)
            return std::nullopt;
        return read(*offset, length);
    }

    qint64 size() const { return m_size; }
    std::vector<Section> &sections() { return m_sections; }

private:
    QIODevice &m_device;
    qint64 m_size;
    std::vector<Section> m_sections;
};

// The resource directory's RVA from the PE headers, with the section table loaded.
std::optional<quint32> resourceDirectory(ImageReader &r)
{
    const auto dos = r.read(0, 64);
    if (!dos || dos->at(0) != 'M' || dos->at(1) != 'Z')
        return std::nullopt;
    const qint64 pe = le32(*dos, 0x3C);
    const auto head = r.read(pe, 24);
    if (!head || !head->startsWith(QByteArrayLiteral("PE\0\0")))
        return std::nullopt;
    const quint16 sectionCount = le16(*head, 6);
    const quint16 optionalSize = le16(*head, 20);
    const auto optional = r.read(pe + 24, optionalSize);
    if (!optional || optionalSize < 2)
        return std::nullopt;

    // PE32 and PE32+ differ in where the data directories start.
    qint64 countAt = 0;
    switch (le16(*optional, 0)) {
    case 0x10B: countAt = 92; break;
    case 0x20B: countAt = 108; break;
    default: return std::nullopt;
    }
    const qint64 resourceEntryAt = countAt + 4 + 2 * 8;
    if (optionalSize < resourceEntryAt + 8 || le32(*optional, countAt) <= 2)
        return std::nullopt;
    const quint32 rva = le32(*optional, resourceEntryAt);
    if (rva == 0 || le32(*optional, resourceEntryAt + 4) == 0)
        return std::nullopt;

    const auto table = r.read(pe + 24 + optionalSize, qint64(sectionCount) * 40);
    if (!table)
        return std::nullopt;
    for (int i = 0; i < sectionCount; ++i) {
        const qint64 at = qint64(i) * 40;
        r.sections().push_back({le32(*table, at + 12), le32(*table, at + 16), le32(*table, at + 20)});
    }
    return rva;
}

// One step down the resource tree: the entry of `directory` (offset from the tree's root) whose
// numeric id is `id`, or the first entry when `id` is empty. Answers the entry's target offset
// and whether it is a subdirectory.
struct ResourceEntry {
    quint32 offset;
    bool directory;
};

std::optional<ResourceEntry> resourceEntry(ImageReader &r, quint32 root, quint32 directory,
                                           std::optional<quint32> id)
{
    const quint32 at = root + directory;
    if (at < root)
        return std::nullopt;
    const auto head = r.readAt(at, 16);
    if (!head)
        return std::nullopt;
    const int count = int(le16(*head, 12)) + int(le16(*head, 14));
    if (count == 0)
        return std::nullopt;
    const auto entries = r.readAt(at + 16, qint64(count) * 8);
    if (!entries)
        return std::nullopt;
    for (int i = 0; i < count; ++i) {
        const quint32 name = le32(*entries, qint64(i) * 8);
        const quint32 target = le32(*entries, qint64(i) * 8 + 4);
        if (!id || (!(name & 0x80000000u) && name == *id))
            return ResourceEntry{target & 0x7FFFFFFFu, bool(target & 0x80000000u)};
    }
    return std::nullopt;
}

std::optional<QString> versionFromBlock(const QByteArray &block)
{
    if (block.size() < 6)
        return std::nullopt;
    const qint64 length = std::min<qint64>(le16(block, 0), block.size());
    // After the header comes the key "VS_VERSION_INFO" in UTF-16, then padding to 32 bits.
    qint64 fixedAt = -1;
    for (qint64 at = 6; at + 1 < length; at += 2) {
        if (le16(block, at) == 0) {
            fixedAt = (at + 2 + 3) & ~qint64(3);
            break;
        }
    }
    auto signatureAt = [&](qint64 at) {
        return at >= 0 && at + kFixedInfoSize <= length && le32(block, at) == kFixedInfoSignature;
    };
    if (!signatureAt(fixedAt)) {
        fixedAt = -1;
        for (qint64 at = 0; at + kFixedInfoSize <= length; at += 4) {
            if (signatureAt(at)) {
                fixedAt = at;
                break;
            }
        }
        if (fixedAt < 0)
            return std::nullopt;
    }
    const quint32 ms = le32(block, fixedAt + 16);
    const quint32 ls = le32(block, fixedAt + 20);
    return QStringLiteral("%1.%2.%3.%4").arg(ms >> 16).arg(ms & 0xFFFF).arg(ls >> 16).arg(ls & 0xFFFF);
}

}  // namespace

std::optional<QString> readProductVersion(QIODevice &device)
{
    ImageReader r(device);
    const auto root = resourceDirectory(r);
    if (!root)
        return std::nullopt;
    // Type RT_VERSION, then the first name, then the first language. The depth is fixed, so a
    // tree whose offsets point back at itself cannot make the walk go round.
    const auto type = resourceEntry(r, *root, 0, kRtVersion);
    if (!type || !type->directory)
        return std::nullopt;
    const auto name = resourceEntry(r, *root, type->offset, std::nullopt);
    if (!name || !name->directory)
        return std::nullopt;
    const auto language = resourceEntry(r, *root, name->offset, std::nullopt);
    if (!language || language->directory)
        return std::nullopt;
    const auto data = r.readAt(*root + language->offset, 16);
    if (!data)
        return std::nullopt;
    const quint32 dataRva = le32(*data, 0);
    const quint32 dataSize = le32(*data, 4);
    if (!r.fileOffset(dataRva, dataSize))
        return std::nullopt;
    const auto block = r.readAt(dataRva, std::min<qint64>(dataSize, kMaxVersionBlock));
    if (!block)
        return std::nullopt;
    return versionFromBlock(*block);
}

std::optional<QString> readProductVersion(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return readProductVersion(f);
}

std::optional<QString> productVersionOf(const QByteArray &image)
{
    QByteArray copy = image;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readProductVersion(buffer);
}

// ---- The stand-in executable ---------------------------------------------------------------

namespace {

class Bytes {
public:
    void u8(quint8 v) { m_b.append(char(v)); }
    void u16(quint16 v) { u8(v & 0xFF), u8(v >> 8); }
    void u32(quint32 v) { u16(v & 0xFFFF), u16(v >> 16); }
    void raw(const QByteArray &b) { m_b.append(b); }
    void zeros(qint64 n) { m_b.append(QByteArray(n, '\0')); }
    void padTo(qint64 size) { zeros(size - m_b.size()); }
    void align(qint64 n) { padTo((m_b.size() + n - 1) / n * n); }
    void utf16z(const QString &s)
    {
        for (QChar c : s)
            u16(c.unicode());
        u16(0);
    }
    qint64 size() const { return m_b.size(); }
    const QByteArray &bytes() const { return m_b; }
    void put32(qint64 at, quint32 v)
    {
        for (int i = 0; i < 4; ++i)
            m_b[at + i] = char((v >> (8 * i)) & 0xFF);
    }
    void put16(qint64 at, quint16 v)
    {
        m_b[at] = char(v & 0xFF);
        m_b[at + 1] = char(v >> 8);
    }

private:
    QByteArray m_b;
};

std::optional<std::array<quint16, 4>> parseVersion(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() > 4)
        return std::nullopt;
    std::array<quint16, 4> out{};
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        const uint v = parts[i].toUInt(&ok);
        if (!ok || v > 0xFFFF)
            return std::nullopt;
        out[size_t(i)] = quint16(v);
    }
    return out;
}

// The resource section: the three directory levels, the data entry and VS_VERSIONINFO.
QByteArray resourceSection(quint32 sectionRva, const std::array<quint16, 4> &v)
{
    Bytes b;
    auto directory = [&](quint32 id, quint32 target) {
        b.u32(0), b.u32(0), b.u16(0), b.u16(0);  // characteristics, stamp, version
        b.u16(0), b.u16(1);                      // no named entries, one id entry
        b.u32(id), b.u32(target);
    };
    directory(kRtVersion, 0x80000000u | 24);  // type level at 0
    directory(1, 0x80000000u | 48);           // name level at 24
    directory(0x0409, 72);                    // language level at 48
    const qint64 dataEntryAt = b.size();      // 72
    b.zeros(16);
    const qint64 blockAt = b.size();          // 88
    b.u16(0), b.u16(kFixedInfoSize), b.u16(0);
    b.utf16z(QStringLiteral("VS_VERSION_INFO"));
    b.align(4);
    const quint32 ms = quint32(v[0]) << 16 | v[1];
    const quint32 ls = quint32(v[2]) << 16 | v[3];
    b.u32(kFixedInfoSignature);
    b.u32(0x00010000);   // structure version
    b.u32(ms), b.u32(ls);  // file version
    b.u32(ms), b.u32(ls);  // product version
    b.u32(0x3F), b.u32(0);  // flags mask, flags
    b.u32(0x00040004);   // Windows NT, 32-bit
    b.u32(1), b.u32(0);  // application, no subtype
    b.u32(0), b.u32(0);  // date
    const qint64 blockSize = b.size() - blockAt;
    b.put16(blockAt, quint16(blockSize));
    b.put32(dataEntryAt, sectionRva + quint32(blockAt));
    b.put32(dataEntryAt + 4, quint32(blockSize));
    return b.bytes();
}

}  // namespace

QByteArray standInExecutableImage(const QString &productVersion)
{
    const auto v = parseVersion(productVersion);
    if (!v)
        return {};
    constexpr quint32 fileAlign = 0x200, sectionAlign = 0x1000, rsrcRva = 0x1000;
    const QByteArray rsrc = resourceSection(rsrcRva, *v);
    const quint32 rawSize = (quint32(rsrc.size()) + fileAlign - 1) / fileAlign * fileAlign;
    const quint32 virtualSize = (quint32(rsrc.size()) + sectionAlign - 1) / sectionAlign * sectionAlign;

    Bytes b;
    // DOS header: "MZ", the PE header's offset at 0x3C.
    b.raw(QByteArrayLiteral("MZ"));
    b.padTo(0x3C);
    b.u32(0x40);
    // PE signature and file header: i386, one section, executable 32-bit image.
    b.raw(QByteArrayLiteral("PE\0\0"));
    b.u16(0x014C), b.u16(1), b.u32(0), b.u32(0), b.u32(0), b.u16(224), b.u16(0x0102);
    // Optional header (PE32).
    b.u16(0x010B), b.u8(1), b.u8(0);
    b.u32(0), b.u32(rawSize), b.u32(0);  // code, initialized, uninitialized data
    b.u32(0), b.u32(0), b.u32(0);        // entry point, base of code, base of data
    b.u32(0x00400000), b.u32(sectionAlign), b.u32(fileAlign);
    b.u16(4), b.u16(0), b.u16(0), b.u16(0), b.u16(4), b.u16(0);  // OS, image, subsystem versions
    b.u32(0);                                       // Win32 version value
    b.u32(rsrcRva + virtualSize), b.u32(fileAlign);  // size of image, size of headers
    b.u32(0), b.u16(2), b.u16(0);                   // checksum, GUI subsystem, DLL flags
    b.u32(0x100000), b.u32(0x1000), b.u32(0x100000), b.u32(0x1000), b.u32(0);  // stack, heap
    b.u32(16);  // data directories
    for (int i = 0; i < 16; ++i) {
        if (i == 2)
            b.u32(rsrcRva), b.u32(quint32(rsrc.size()));
        else
            b.u32(0), b.u32(0);
    }
    // Section table: .rsrc, initialized readable data.
    b.raw(QByteArrayLiteral(".rsrc\0\0\0"));
    b.u32(quint32(rsrc.size())), b.u32(rsrcRva), b.u32(rawSize), b.u32(fileAlign);
    b.u32(0), b.u32(0), b.u16(0), b.u16(0), b.u32(0x40000040);
    b.padTo(fileAlign);
    b.raw(rsrc);
    b.padTo(fileAlign + rawSize);
    return b.bytes();
}

bool writeStandInExecutable(const QString &path, const QString &productVersion)
{
    const QByteArray image = standInExecutableImage(productVersion);
    if (image.isEmpty())
        return false;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(image);
    return f.commit();
}

}  // namespace b2d
