#pragma once

#include <QString>

namespace b2d {

class DataAccess;
class Runtime;
struct GenerationReport;

// The read cache lives for one generation, however it ends.
class GenerationScope {
public:
    explicit GenerationScope(DataAccess &db);
    ~GenerationScope();
    GenerationScope(const GenerationScope &) = delete;
    GenerationScope &operator=(const GenerationScope &) = delete;

private:
    DataAccess &m_db;
};

// What a document driver does with a finished document: writes it as `fileName` + ".XML" in the
// output folder, tells the operator where it lies (`firstLine` opens the message) and records it
// with Set_Procesado. `rep` says how it ended. A file that cannot be written is reported in the
// standard error box of `procedure` of `module` at `line`, and nothing is recorded.
void writeAndRecord(Runtime &rt, const QString &document, const QString &fileName,
                    const QString &firstLine, const QString &procedure, const QString &module,
                    int line, GenerationReport &rep);

}  // namespace b2d
