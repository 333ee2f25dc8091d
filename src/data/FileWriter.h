#pragma once

#include <QByteArray>
#include <QString>

namespace b2d {

// The sequential text-file writer: set the path, create, write the whole text, close.
// The text is written as ISO-8859-1; a character it cannot hold becomes a numeric character
// reference (&#8364;). The bytes go to a temporary file beside the target, renamed into place on
// close, so no reader ever sees half a file. Failures throw B2DError naming the path.
class FileWriter {
public:
    FileWriter() = default;
    ~FileWriter();
    FileWriter(const FileWriter &) = delete;
    FileWriter &operator=(const FileWriter &) = delete;

    QString ubicacion_archivo;

    void crear_archivo();
    void escribir(const QString &text);
    void cerrar_archivo();

private:
    struct Impl;
    Impl *d = nullptr;
};

// ISO-8859-1 bytes of a text, with character references for what Latin-1 cannot hold.
QByteArray toLatin1WithReferences(const QString &text);

// Writes bytes to `path` atomically (temporary file beside it, then rename). Throws B2DError.
void writeFileAtomically(const QString &path, const QByteArray &bytes);
// Copies a file atomically into place (temporary file in the target folder, then rename).
void copyFileAtomically(const QString &source, const QString &target);

}  // namespace b2d
