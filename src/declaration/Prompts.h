#pragma once

#include <QString>

namespace b2d {

class Runtime;

// Values the operator supplies, remembered in the declaration's CARATULA_CARATULA row.
QString GetDataFromDB(Runtime &rt, const QString &key);
void SetDataTODB(Runtime &rt, const QString &key, const QString &value);

QString ObtenerCANAL(Runtime &rt);
QString ObtenerProcessReferenceCode(Runtime &rt, QString &defaultValue);
QString ObtenerBrokerReferenceCode(Runtime &rt, QString &defaultValue);
QString ObtenerFechaLiberacion(Runtime &rt);
QString ObtenerFechaCumplido(Runtime &rt);
QString ObtenerFechaPago(Runtime &rt);
QString ObtenerNombreArchivo(Runtime &rt);

// The broker's CUIT (NN-NNNNNNNN-N) of the declaration's own interno, or empty.
QString ObtenerCuitDespachante(Runtime &rt);

}  // namespace b2d
