#include "app/Errors.h"

#include "app/RunLog.h"
#include "app/Runtime.h"
#include "platform/Boxes.h"

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

void FinalizarPrograma(Runtime &rt, const QString &reason)
{
    rt.log.EscribirLog(QStringLiteral("Finalizar Programa"));
    throw ProgramEnd(reason);
}

static QString errorHead(const B2DError &e)
{
    return QStringLiteral("Error ") + QString::number(e.number()) + QStringLiteral(" (")
        + e.description() + QStringLiteral(")");
}

void showStandardError(Runtime &rt, const B2DError &e, const QString &procedure,
                       const QString &module, const QString &line)
{
    showErrorText(rt, errorHead(e) + QLatin1Char('\n') + QStringLiteral("in procedure ") + procedure
                          + QStringLiteral(" of Módulo ") + module + QStringLiteral(" - ") + line);
}

void showFormError(Runtime &rt, const B2DError &e, const QString &procedure, const QString &form,
                   const QString &line)
{
    showErrorText(rt, errorHead(e) + QLatin1Char('\n') + QStringLiteral("in procedure ") + procedure
                          + QStringLiteral(" of Formulario ") + form + QStringLiteral(" - ") + line);
}

void showLineError(Runtime &rt, const B2DError &e, const QString &procedure, const QString &module,
                   int line)
{
    showErrorText(rt, QStringLiteral("Error ") + QString::number(e.number()) + QStringLiteral(" (")
                          + e.description() + QStringLiteral(") en ") + procedure
                          + QStringLiteral(" de Módulo ") + module + QStringLiteral(" ")
                          + QLatin1Char('\n') + QStringLiteral("Linea:") + QString::number(line));
}

void showErrorText(Runtime &rt, const QString &text)
{
    rt.boxes.inform(text, BoxIcon::Warning, Runtime::appTitle());
}

void reraise(const B2DError &e, long number, const QString &procedure, int line)
{
    throw B2DError(number,
                   procedure + QStringLiteral(" linea ") + QString::number(line) + QStringLiteral("::")
                       + e.source(),
                   e.description());
}

}  // namespace b2d
