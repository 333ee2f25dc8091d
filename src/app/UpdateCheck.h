#pragma once

#include <QString>
#include <QVariant>
#include <functional>

namespace b2d {

class BrowserOpener;
class Runtime;
class WebFetcher;

// The path of the version document on the maker's web server.
inline constexpr const char *kVersionDocumentPath = "/sistemas/DORVANE/VersionApp.xml";

// The base address of the maker's web server: key base_url of the group [update] of the
// connections file (read with the program's own INI reader); "" when the file or the key is
// missing.
QString updateBaseUrl(const QString &connectionsFile);

// What the update check works with.
struct UpdateServices {
    QString baseUrl;                              // empty: no update address configured
    WebFetcher *web = nullptr;
    BrowserOpener *browser = nullptr;
    std::function<QVariant()> installedVersion;   // LeerVersionInstalada
};

// The whole body of the document at `address` as text, or "" after the box that says why:
// "Error opening Internet connection" or "Error opening Web page".
QString LeerPaginaWeb(Runtime &rt, WebFetcher &web, const QString &address);

// Fetches the version document and compares the version it announces (field 0, a whole number)
// with the installed one (missing reads as 0). True when the announced one is greater; then
// `downloadAddress` holds field 1, an absolute http or https address. Any failure (no field 1,
// a field that is not a whole number, an address that is not http or https) shows
// "Error N (description) in procedure Actualizacion of Formulario frmMain" and answers false.
bool Actualizacion(Runtime &rt, const UpdateServices &services, QString &downloadAddress);

// The command "Obtener última versión": without a configured address it says so; without a newer
// version it shows "Ya tiene la última versión"; otherwise it opens the download address in the
// browser and ends the program (FinalizarPrograma throws ProgramEnd). When the browser cannot be
// opened it says so and the program keeps running.
void UltimaVersion(Runtime &rt, const UpdateServices &services);

}  // namespace b2d
