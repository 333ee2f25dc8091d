#include "platform/Error.h"

namespace b2d {

B2DError::B2DError(long number, QString source, QString description)
    : m_number(number), m_source(std::move(source)), m_description(std::move(description)),
      m_what((QString::number(m_number) + QStringLiteral(" ") + m_source + QStringLiteral(": ")
              + m_description)
                 .toUtf8())
{
}

const char *B2DError::what() const noexcept
{
    return m_what.constData();
}

StatementRefused::StatementRefused(QString entity, QString sql, QString description)
    : m_entity(std::move(entity)), m_sql(std::move(sql)), m_description(std::move(description)),
      m_what((m_entity + QStringLiteral(": ") + m_description).toUtf8())
{
}

B2DError StatementRefused::asError() const
{
    return B2DError(ErrNo::Database, QStringLiteral("RecordGate.RGMain"), m_description);
}

const char *StatementRefused::what() const noexcept
{
    return m_what.constData();
}

B2DError userCancelError()
{
    return B2DError(ErrNo::Builder, QStringLiteral("Proceso"),
                    QStringLiteral("Proceso Cancelado por usuario"));
}

void reraise(const B2DError &e, long number, const QString &procedure, int line)
{
    throw B2DError(number,
                   procedure + QStringLiteral(" linea ") + QString::number(line) + QStringLiteral("::")
                       + e.source(),
                   e.description());
}

}  // namespace b2d
