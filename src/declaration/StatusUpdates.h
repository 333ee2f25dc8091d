#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace b2d {

class Runtime;

// The status columns of a declaration's CARATULA_CARATULA row as they stand (nulls as null).
struct EstadoDespacho {
    bool found = false;  // the row exists
    QVariant procesado;  // Xml_Procesado
    QVariant b2dFile;    // Xml_B2DFile
    QVariant enviado;    // Xml_Enviado
};

// Reads the status columns of a declaration. A query the database refuses throws B2DError.
EstadoDespacho LeerEstadoDespacho(Runtime &rt, const QString &despacho);

// Records the processing date and file name of a written file. True when the row took it; a
// refused update (an error, or no row changed where the database tells) shows the standard error
// box and answers false.
bool Set_Procesado(Runtime &rt, const QString &despacho, const QString &fileName);
// Marks the operation sent (today) or not sent (NULL). True when the row took it; a refused
// update shows the standard error box, answers false and leaves the database's text in
// `refusal` (when given).
bool Set_Enviado(Runtime &rt, bool enviado, const QString &despacho, QString *refusal = nullptr);

// Put the columns of Set_Procesado / Set_Enviado back to what `earlier` read, after a recorded
// file could not be put in place. A refusal shows the standard error box.
void RestaurarProcesado(Runtime &rt, const QString &despacho, const EstadoDespacho &earlier);
void RestaurarEnviado(Runtime &rt, const QString &despacho, const EstadoDespacho &earlier);

// Writes a generated document (its file bytes) to `path` so that the file and the row agree: the
// bytes go to a temporary file beside `path`, Set_Procesado records `fileName`, and only then is the file
// renamed into place. True when the file lies in place and the row says so. A refused record
// removes the temporary and answers false (Set_Procesado has shown its box); files of earlier
// generations are not touched. A failure to write or to rename throws B2DError (after a failed
// rename the row's earlier values are restored). Used by the declaration and licence drivers.
bool GuardarYRegistrar(Runtime &rt, const QString &path, const QByteArray &documento,
                       const QString &despacho, const QString &fileName);

}  // namespace b2d
