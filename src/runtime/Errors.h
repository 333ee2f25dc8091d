#pragma once

#include "platform/Error.h"

#include <QString>

namespace b2d {

class Runtime;

// Runs `Finalizar Programa`: writes its log line and throws ProgramEnd.
[[noreturn]] void FinalizarPrograma(Runtime &rt, const QString &reason = {});

// The standard error box: exclamation icon, OK, title = application title.
// "Error N (description)\nin procedure NAME of Módulo MODULE - LINE"
void showStandardError(Runtime &rt, const B2DError &e, const QString &procedure,
                       const QString &module, const QString &line = {});
// Same, for windows: "... of Formulario FORM - LINE".
void showFormError(Runtime &rt, const B2DError &e, const QString &procedure,
                   const QString &form, const QString &line = {});
// The older variant: "Error N (description) en PROC de Módulo MODULE \nLinea:LINE".
void showLineError(Runtime &rt, const B2DError &e, const QString &procedure,
                   const QString &module, int line);
// Any text already composed, in the warning box with the application title.
void showErrorText(Runtime &rt, const QString &text);

// Runs `body`; a B2DError goes to the standard error box and `fallback` is returned.
template <typename T, typename F>
T trapStandard(Runtime &rt, const QString &procedure, const QString &module, T fallback, F &&body)
{
    try {
        return body();
    } catch (const B2DError &e) {
        showStandardError(rt, e, procedure, module);
        return fallback;
    }
}

}  // namespace b2d
