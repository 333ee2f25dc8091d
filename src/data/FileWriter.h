#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <functional>
#include <memory>

namespace b2d {

// The sequential text-file writer: set the path, create, write the whole text, close.
// The text is written as ISO-8859-1; a character it cannot hold becomes a numeric character
// reference (&#8364;). The bytes go to a temporary file beside the target, renamed into place on
// close, so no reader ever sees half a file. Failures throw B2DError naming the path.
//
// Between create and close the file is staged: nothing is visible at the path yet. Close puts it
// in place; discard (or destroying the writer unclosed) removes the temporary and leaves whatever
// lay at the path untouched.
class FileWriter {
public:
    FileWriter() = default;
    ~FileWriter();
    FileWriter(const FileWriter &) = delete;
    FileWriter &operator=(const FileWriter &) = delete;

    QString ubicacion_archivo;

    void crear_archivo();
    void escribir(const QString &text);
    // Appends bytes already converted (toLatin1WithReferences) as they are.
    void escribir(const QByteArray &bytes);
    // Appends the bytes of another file as they are (a copy, no conversion).
    void copiar_archivo(const QString &source);
    // Renames the staged file into place.
    void cerrar_archivo();
    // Drops the staged file; the path keeps what it held.
    void descartar_archivo();
    // True between crear_archivo and cerrar_archivo / descartar_archivo.
    bool staged() const { return d != nullptr; }

private:
    struct Impl;
    Impl *d = nullptr;
};

// The temporary file behind a FileWriter: created beside the target, written, closed (every byte
// handed to the disk) and renamed into place. Destroyed before the rename, it removes itself and
// leaves the target as it was. Each step answers false when it failed; `error` and
// `errorString` then tell why.
class StagedFile {
public:
    virtual ~StagedFile() = default;
    virtual bool create() = 0;
    virtual bool write(const QByteArray &bytes) = 0;
    virtual bool close() = 0;
    virtual bool rename() = 0;
    virtual QFileDevice::FileError error() const = 0;
    virtual QString errorString() const = 0;
};

// Stands between every staged file this process opens and the writer above it (a test's fault
// injection); none unless set, an empty function removes it.
using StagedFileWrapper =
    std::function<std::unique_ptr<StagedFile>(const QString &path, std::unique_ptr<StagedFile> file)>;
void setStagedFileWrapper(StagedFileWrapper wrapper);

// ISO-8859-1 bytes of a text, with character references for what Latin-1 cannot hold.
QByteArray toLatin1WithReferences(const QString &text);
// The same bytes appended to `out` (a document converted piece by piece).
void appendLatin1WithReferences(QByteArray &out, QStringView text);

// Writes bytes to `path` atomically (temporary file beside it, then rename). Throws B2DError.
void writeFileAtomically(const QString &path, const QByteArray &bytes);

// A file and the database row that tells about it agree: the staged file is put in place only
// once `record` answered true, so a reader of the folder never sees a file the row does not know.
// `record` answering false discards the staged file (Refused). When the rename fails after the
// record, `undo` puts the row back and the rename's B2DError is thrown again. Used by the
// generation of a document and by the hand-off to the send folder.
enum class Placement { Placed, Refused };
Placement placeWhenRecorded(FileWriter &staged, const std::function<bool()> &record,
                            const std::function<void()> &undo);

}  // namespace b2d
