#include "runtime/Numbers.h"

#include "runtime/Errors.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

namespace {

const QString kModMain = QStringLiteral("Mod_Main");
constexpr long kOverflow = 6;

QString errorSource()
{
    return QLatin1String(kAppName);
}

}  // namespace

double EsNumero(Runtime &rt, const QVariant &value)
{
    const NumberReading r = readNumberValue(value);
    switch (r.kind) {
    case NumberKind::Number:
        return r.value;
    case NumberKind::NotANumber:
        return 0;
    case NumberKind::TooManySeparators:
        showStandardError(rt, B2DError(ErrNo::TypeMismatch, errorSource(),
                                       QStringLiteral("Type mismatch")),
                          QStringLiteral("EsNumero"), kModMain);
        return 0;
    case NumberKind::Overflow:
        showStandardError(rt, B2DError(kOverflow, errorSource(), QStringLiteral("Overflow")),
                          QStringLiteral("EsNumero"), kModMain);
        return 0;
    }
    return 0;
}

double CalcularProrrateo(Runtime &rt, double total, double part, double amount)
{
    if (total == 0) {
        showStandardError(rt, B2DError(ErrNo::DivisionByZero, errorSource(),
                                       QStringLiteral("Division by zero")),
                          QStringLiteral("CalcularProrrateo"), kModMain);
        return 0;
    }
    return part * amount / total;
}

double dividir(double a, double b)
{
    if (b == 0)
        throw B2DError(ErrNo::DivisionByZero, errorSource(), QStringLiteral("Division by zero"));
    return a / b;
}

}  // namespace b2d
