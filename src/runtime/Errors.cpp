#include "runtime/Errors.h"

#include "platform/Boxes.h"
#include "runtime/RunLog.h"
#include "runtime/Runtime.h"

namespace b2d {

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

}  // namespace b2d
