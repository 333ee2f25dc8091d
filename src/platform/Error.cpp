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
