#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace b2d {

class DataAccess;
class Runtime;
class StatementRefused;
struct GenerationReport;

// The read cache lives for one generation, however it ends; the run log keeps its file open
// meanwhile.
class GenerationScope {
public:
    explicit GenerationScope(Runtime &rt);
    ~GenerationScope();
    GenerationScope(const GenerationScope &) = delete;
    GenerationScope &operator=(const GenerationScope &) = delete;

private:
    Runtime &m_rt;
};

// The report a document driver fills: the caller's, or `local` when none was given, reset to
// a failure until the file is written.
GenerationReport &freshReport(GenerationReport *report, GenerationReport &local);

// How a document driver ends a generation the database refused a statement of: the standard
// error box of `procedure` of `module` at `line` with the database's text. Nothing was written or
// recorded; the report stays a failure.
void reportRefusal(Runtime &rt, const StatementRefused &refusal, const QString &procedure,
                   const QString &module, int line);

// What a document driver does with a finished document: writes it as `fileName` + ".XML" in the
// output folder so that the file and its row agree (recorded with Set_Procesado before it is put
// in place), then tells the operator where it lies (`firstLine` opens the message). `rep` says
// how it ended; `lineBreak` separates the message's lines. A document that is not well-formed
// XML is not written (standard error box of `procedure`). A file that cannot be written or put in place is reported in the standard error
// box of `procedure` of `module` at `line`; a refused record is reported by Set_Procesado. Either
// way no new file is left and the row keeps what it held.
void writeAndRecord(Runtime &rt, const QString &document, const QString &fileName,
                    const QString &firstLine, const QString &procedure, const QString &module,
                    int line, GenerationReport &rep,
                    const QString &lineBreak = QStringLiteral("\n"));
// The same with the document already converted to its file bytes (toLatin1WithReferences).
void writeAndRecord(Runtime &rt, const QByteArray &bytes, const QString &fileName,
                    const QString &firstLine, const QString &procedure, const QString &module,
                    int line, GenerationReport &rep, const QString &lineBreak = QStringLiteral("\n"));

// A document's file bytes built from its pieces in order, each converted as it comes (ISO-8859-1,
// character references for the rest), so that no whole text of the document is held twice.
class DocumentBytes {
public:
    // Room for `characters` more characters of text ISO-8859-1 holds.
    void reserve(qsizetype characters);
    DocumentBytes &operator<<(QStringView piece);
    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

}  // namespace b2d
