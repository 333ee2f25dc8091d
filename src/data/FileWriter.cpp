#include "data/FileWriter.h"

#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <memory>

namespace b2d {

namespace {

const QString kSource = QStringLiteral("FileWriter");
constexpr long kBadFileNumber = 52;
constexpr long kDeviceIO = 57;
constexpr long kPathFileAccess = 75;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void fail(long number, const QString &description, const QString &path)
{
    throw B2DError(number, kSource, description + QStringLiteral(": ") + shown(path));
}

// A temporary file beside the target (QSaveFile): renamed into place by rename().
class SaveFile final : public StagedFile {
public:
    explicit SaveFile(const QString &path) : m_file(path) { m_file.setDirectWriteFallback(false); }

    bool create() override { return m_file.open(QIODevice::WriteOnly); }
    // A short write leaves the file in error: its rename fails from then on.
    bool write(const QByteArray &bytes) override { return m_file.write(bytes) == bytes.size(); }
    bool close() override { return m_file.flush(); }
    bool rename() override { return m_file.commit(); }
    QFileDevice::FileError error() const override { return m_file.error(); }
    QString errorString() const override { return m_file.errorString(); }

private:
    QSaveFile m_file;
};

StagedFileWrapper &stagedFileWrapper()
{
    static StagedFileWrapper wrapper;
    return wrapper;
}

// Why a file could not be opened for writing, in the terms of the error numbers.
[[noreturn]] void failOpen(const StagedFile &file, const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty())
        fail(kBadFileNumber, QStringLiteral("Bad file name or number"), path);
    if (!info.absoluteDir().exists())
        fail(ErrNo::PathNotFound, QStringLiteral("Path not found"), path);
    if (info.isDir())
        fail(kPathFileAccess, QStringLiteral("Path/File access error"), path);
    if (file.error() == QFileDevice::PermissionsError || !QFileInfo(info.absolutePath()).isWritable())
        fail(ErrNo::PermissionDenied, QStringLiteral("Permission denied"), path);
    fail(kPathFileAccess, QStringLiteral("Path/File access error") + QStringLiteral(" (")
                              + file.errorString() + QStringLiteral(")"),
         path);
}

// The staged file of a path, created.
std::unique_ptr<StagedFile> openBeside(const QString &path)
{
    std::unique_ptr<StagedFile> file = std::make_unique<SaveFile>(path);
    if (stagedFileWrapper())
        file = stagedFileWrapper()(path, std::move(file));
    if (path.isEmpty() || QFileInfo(path).isDir() || !file->create())
        failOpen(*file, path);
    return file;
}

void writeAll(StagedFile &file, const QByteArray &bytes, const QString &path)
{
    if (!file.write(bytes))
        fail(kDeviceIO, QStringLiteral("Device I/O error (") + file.errorString() + QStringLiteral(")"),
             path);
}

// Closes the staged file and renames it into place; on failure the file is left to be destroyed,
// which removes it.
void commit(StagedFile &file, const QString &path)
{
    if (!file.close())
        fail(kDeviceIO, QStringLiteral("Device I/O error (") + file.errorString() + QStringLiteral(")"),
             path);
    if (!file.rename())
        fail(kPathFileAccess,
             QStringLiteral("Path/File access error (") + file.errorString() + QStringLiteral(")"),
             path);
}

}  // namespace

struct FileWriter::Impl {
    QString path;
    std::unique_ptr<StagedFile> file;
};

FileWriter::~FileWriter()
{
    // A file never closed is abandoned: its staged file removes itself.
    delete d;
}

void FileWriter::crear_archivo()
{
    if (d) {
        delete d;
        d = nullptr;
    }
    auto file = openBeside(ubicacion_archivo);
    d = new Impl{ubicacion_archivo, std::move(file)};
}

void FileWriter::escribir(const QString &text)
{
    if (!d || !d->file)
        fail(kBadFileNumber, QStringLiteral("Bad file name or number"), ubicacion_archivo);
    writeAll(*d->file, toLatin1WithReferences(text), d->path);
}

void FileWriter::escribir(const QByteArray &bytes)
{
    if (!d || !d->file)
        fail(kBadFileNumber, QStringLiteral("Bad file name or number"), ubicacion_archivo);
    writeAll(*d->file, bytes, d->path);
}

void FileWriter::copiar_archivo(const QString &source)
{
    if (!d || !d->file)
        fail(kBadFileNumber, QStringLiteral("Bad file name or number"), ubicacion_archivo);
    QFile in(source);
    if (!QFileInfo(source).isFile())
        fail(ErrNo::FileNotFound, QStringLiteral("File not found"), source);
    if (!in.open(QIODevice::ReadOnly))
        fail(ErrNo::PermissionDenied, QStringLiteral("Permission denied"), source);
    QByteArray chunk;
    while (!(chunk = in.read(1 << 16)).isEmpty())
        writeAll(*d->file, chunk, d->path);
    if (in.error() != QFileDevice::NoError)
        fail(kDeviceIO, QStringLiteral("Device I/O error (") + in.errorString() + QStringLiteral(")"),
             source);
}

void FileWriter::cerrar_archivo()
{
    if (!d)
        return;
    std::unique_ptr<Impl> impl(d);
    d = nullptr;
    commit(*impl->file, impl->path);
}

void FileWriter::descartar_archivo()
{
    // The staged file removes itself when destroyed before its rename.
    delete d;
    d = nullptr;
}

Placement placeWhenRecorded(FileWriter &staged, const std::function<bool()> &record,
                            const std::function<void()> &undo)
{
    if (!record()) {
        staged.descartar_archivo();
        return Placement::Refused;
    }
    try {
        staged.cerrar_archivo();
    } catch (const B2DError &) {
        undo();
        throw;
    }
    return Placement::Placed;
}

QByteArray toLatin1WithReferences(const QString &text)
{
    // Text ISO-8859-1 holds throughout goes over in one conversion.
    if (QtPrivate::isLatin1(QStringView(text)))
        return text.toLatin1();
    QByteArray out;
    out.reserve(text.size() + 16);
    appendLatin1WithReferences(out, text);
    return out;
}

void appendLatin1WithReferences(QByteArray &out, QStringView text)
{
    // Text ISO-8859-1 holds throughout (told by Qt's vectorised test) goes over character by
    // character, straight into the bytes.
    if (QtPrivate::isLatin1(text)) {
        const qsizetype at = out.size();
        out.resize(at + text.size());
        const char16_t *u = reinterpret_cast<const char16_t *>(text.utf16());
        char *dst = out.data() + at;
        for (qsizetype k = 0; k < text.size(); ++k)
            dst[k] = char(u[k]);
        return;
    }
    const qsizetype n = text.size();
    const char16_t *u = reinterpret_cast<const char16_t *>(text.utf16());
    qsizetype i = 0;
    while (i < n) {
        // A run of characters ISO-8859-1 holds goes over as it is.
        qsizetype end = i;
        while (end < n && u[end] < 0x100)
            ++end;
        if (end > i) {
            const qsizetype at = out.size();
            out.resize(at + (end - i));
            char *dst = out.data() + at;
            for (qsizetype k = i; k < end; ++k)
                *dst++ = char(u[k]);
        }
        if (end == n)
            break;
        // Any other character becomes a character reference.
        const QChar c(u[end]);
        char32_t code = c.unicode();
        i = end + 1;
        if (c.isHighSurrogate() && i < n && QChar(u[i]).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, QChar(u[i]));
            ++i;
        } else if (c.isSurrogate()) {
            code = 0xFFFD;  // half a pair holds no character
        }
        out += "&#";
        out += QByteArray::number(quint32(code));
        out += ';';
    }
}

void setStagedFileWrapper(StagedFileWrapper wrapper)
{
    stagedFileWrapper() = std::move(wrapper);
}

void writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    auto file = openBeside(path);
    writeAll(*file, bytes, path);
    commit(*file, path);
}

}  // namespace b2d
