#include "support/FaultInjection.h"

#include "data/DataAccess.h"
#include "data/FileWriter.h"

#include <QDir>
#include <QFileInfo>
#include <optional>

namespace b2d::test {

// ---- StatementFaults ------------------------------------------------------------------------

class StatementFaults::Backend final : public b2d::Backend {
public:
    Backend(StatementFaults &plan, std::unique_ptr<b2d::Backend> inner)
        : m_plan(plan), m_inner(std::move(inner))
    {
    }

    bool query(const QString &sql, ResultSet &out, QString &error) override
    {
        return !refused(error) && m_inner->query(sql, out, error);
    }
    bool execute(const QString &sql, QString &error) override
    {
        return !refused(error) && m_inner->execute(sql, error);
    }
    int rowsAffected() const override { return m_inner->rowsAffected(); }
    SourceEngine sourceEngine() const override { return m_inner->sourceEngine(); }
    bool connectionLost() const override { return m_lost || m_inner->connectionLost(); }

private:
    // True with `error` set when this statement is the one to fail.
    bool refused(QString &error)
    {
        if (++m_plan.m_reached != m_plan.m_at)
            return false;
        if (m_plan.m_kind == Kind::Drop) {
            m_lost = true;
            error = QStringLiteral("Se perdió la conexión con el servidor (08S01)");
        } else {
            error = QStringLiteral("Error de base de datos inyectado en la sentencia %1").arg(m_plan.m_at);
        }
        return true;
    }

    StatementFaults &m_plan;
    std::unique_ptr<b2d::Backend> m_inner;
    bool m_lost = false;
};

StatementFaults::StatementFaults()
{
    setBackendWrapper([this](const QString &, std::unique_ptr<b2d::Backend> inner) {
        return std::make_unique<Backend>(*this, std::move(inner));
    });
}

StatementFaults::~StatementFaults()
{
    setBackendWrapper({});
}

void StatementFaults::failAt(int n, Kind kind)
{
    m_reached = 0;
    m_at = n;
    m_kind = kind;
}

// ---- WriterFaults ---------------------------------------------------------------------------

class WriterFaults::File final : public StagedFile {
public:
    File(WriterFaults &plan, std::unique_ptr<StagedFile> inner) : m_plan(plan), m_inner(std::move(inner)) {}

    bool create() override { return !fails(Step::Create) && m_inner->create(); }
    bool write(const QByteArray &bytes) override
    {
        if (!fails(Step::Write))
            return m_inner->write(bytes);
        // A full disk takes part of the bytes, then refuses the rest.
        m_inner->write(bytes.left(bytes.size() / 2));
        return false;
    }
    bool close() override { return !fails(Step::Close) && m_inner->close(); }
    // A failed rename leaves the temporary where it is; destroying it removes it.
    bool rename() override { return !fails(Step::Rename) && m_inner->rename(); }
    QFileDevice::FileError error() const override
    {
        if (!m_failed)
            return m_inner->error();
        return m_failed == Step::Create ? QFileDevice::PermissionsError : QFileDevice::ResourceError;
    }
    QString errorString() const override
    {
        if (!m_failed)
            return m_inner->errorString();
        return m_failed == Step::Create ? QStringLiteral("Read-only file system")
                                        : QStringLiteral("No space left on device");
    }

private:
    bool fails(Step step)
    {
        if (step != m_plan.m_step)
            return false;
        m_failed = step;
        ++m_plan.m_failed;
        return true;
    }

    WriterFaults &m_plan;
    std::unique_ptr<StagedFile> m_inner;
    std::optional<Step> m_failed;
};

WriterFaults::WriterFaults(const QString &folder, Step step)
    : m_folder(QDir(folder).canonicalPath()), m_step(step)
{
    setStagedFileWrapper([this](const QString &path,
                                std::unique_ptr<StagedFile> inner) -> std::unique_ptr<StagedFile> {
        if (QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath() != m_folder)
            return inner;
        return std::make_unique<File>(*this, std::move(inner));
    });
}

WriterFaults::~WriterFaults()
{
    setStagedFileWrapper({});
}

}  // namespace b2d::test
