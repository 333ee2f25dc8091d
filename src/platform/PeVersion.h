#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class QIODevice;

namespace b2d {

// The product version of an executable's version resource, as "major.minor.build.revision"
// (the four 16-bit parts of the fixed file information, most significant first). Read directly
// from the file's PE structure, so it works on any operating system. A file that is missing,
// truncated, not an executable, without a version resource, or whose offsets and sizes do not
// hold together has no version information: nullopt.
std::optional<QString> readProductVersion(const QString &path);
std::optional<QString> readProductVersion(QIODevice &device);
std::optional<QString> productVersionOf(const QByteArray &image);

// The bytes of a small, well-formed 32-bit Windows executable whose version resource carries
// `productVersion` ("a.b.c.d", missing parts read as 0) as product and file version. Empty
// when the version text is not up to four numbers of 0..65535.
QByteArray standInExecutableImage(const QString &productVersion);
// Writes that executable to `path` (atomically, creating the folder). False when the version
// text is not valid or the file could not be written.
bool writeStandInExecutable(const QString &path, const QString &productVersion);

}  // namespace b2d
