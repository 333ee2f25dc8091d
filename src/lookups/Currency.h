#pragma once

#include <QString>

namespace b2d {

class Runtime;

// The currency code an amount is written in, and its rate to US dollars.
QString EquivalenciaMonedas(Runtime &rt, const QString &code, double &rate);
QString ObtenerTipoDeCambio(Runtime &rt, const QString &code, const QString &despacho);
void SetDBDivisaConv(Runtime &rt, const QString &code, const QString &rateText);
bool ExistDBDivisaConv(Runtime &rt, const QString &code);

}  // namespace b2d
