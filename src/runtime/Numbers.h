#pragma once

#include <QVariant>

namespace b2d {

class Runtime;

// Number readings that report a failure in the standard error box and go on with 0.

// A value as a number: null, empty, blank or non-numeric text gives 0; a text is read with one
// decimal separator, point or comma. A text with more than one separator (1.234,5) is a conversion
// failure: the standard error box for EsNumero, result 0.
double EsNumero(Runtime &rt, const QVariant &value);
// part * amount / total; a zero total is a division failure (standard box, result 0).
double CalcularProrrateo(Runtime &rt, double total, double part, double amount);
// a / b for the builders that pass failures on: a zero divisor throws the division failure
// (B2DError 11, "Division by zero") instead of giving an infinite figure.
double dividir(double a, double b);

}  // namespace b2d
