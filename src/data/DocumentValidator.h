#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace b2d {

// One thing wrong with a B2D document: where (the element path as /Broker2Dorvane/x/y[3]/z, with
// an index where siblings share a name, and the line and column, counted in bytes from 1) and
// what.
struct DocumentFault {
    QString path;
    int line = 1;
    int column = 1;
    QString message;
};

// One element of a document: its path (as in DocumentFault), the byte offsets of its start tag's
// '<' and just past its end tag (or of the empty-element tag), and the index of its parent in
// the list (-1 for the root).
struct ElementSpan {
    QString path;
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype parent = -1;
};

// The elements of a well-formed document, in document order (start tags).
QList<ElementSpan> elementSpans(const QByteArray &document);

// The bytes of a file as it is written: the text's ISO-8859-1 declaration must hold. Faults of the
// encoding: a byte-order mark, no declaration or one naming another encoding, a UTF-8 multibyte
// sequence, a control byte XML does not allow.
QList<DocumentFault> encodingFaults(const QByteArray &document);

// Whether a document of the plain form this program writes (its ISO-8859-1 declaration, then
// elements without attributes whose text holds only the predefined entities and character
// references) is well-formed, decided in one pass over its bytes. False says only that the document
// needs the full parser: anything outside that form, well-formed or not, is false.
bool plainlyWellFormed(const QByteArray &document);

// The first well-formedness fault of a document, if any.
std::optional<DocumentFault> wellFormednessFault(const QByteArray &document);

// Every fault of a B2D document: its encoding, its well-formedness and, when it is well-formed,
// its shape against the B2D schema (the three documents, element order, required elements,
// numbers by mask). Empty for a valid document.
QList<DocumentFault> validateB2DDocument(const QByteArray &document);

// The B2D schema the documents are checked against (XML Schema text).
QByteArray b2dSchema();

}  // namespace b2d
