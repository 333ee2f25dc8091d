#include "app/UpdateCheck.h"

#include "platform/Boxes.h"
#include "platform/IniSettingsStore.h"
#include "platform/WebFetch.h"
#include "runtime/Errors.h"
#include "runtime/RunLog.h"
#include "runtime/Runtime.h"

#include <QUrl>

namespace b2d {

namespace {

constexpr long kSubscriptOutOfRange = 9;
constexpr long kInvalidArgument = 5;

const QString kSeparator = QStringLiteral("</>");

void plainBox(Runtime &rt, const QString &text, BoxIcon icon = BoxIcon::None)
{
    rt.boxes.message(text, BoxButtons::Ok, icon, Runtime::appTitle());
}

B2DError typeMismatch()
{
    return B2DError(ErrNo::TypeMismatch, QStringLiteral("Actualizacion"),
                    QStringLiteral("Type mismatch"));
}

// A whole number written as digits (a sign allowed, blanks around it ignored).
qlonglong wholeNumber(const QString &text)
{
    bool ok = false;
    const qlonglong n = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw typeMismatch();
    return n;
}

// The installed version as a whole number: a missing or empty value reads as 0.
qlonglong installedNumber(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return 0;
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toLongLong();
    default:
        break;
    }
    const QString text = value.toString();
    return text.trimmed().isEmpty() ? 0 : wholeNumber(text);
}

// The download address of the document: only an absolute http or https address is opened.
QString downloadAddressOf(const QString &field)
{
    const QString text = field.trimmed();
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.isRelative() || url.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        throw B2DError(kInvalidArgument, QStringLiteral("Actualizacion"),
                       QStringLiteral("La dirección de descarga no es una dirección http o https: ")
                           + text);
    return url.toString(QUrl::FullyEncoded);
}

}  // namespace

QString updateBaseUrl(const QString &connectionsFile)
{
    if (connectionsFile.isEmpty())
        return {};
    return IniSettingsStore::singleFile(connectionsFile)
        ->get(QString(), QStringLiteral("update"), QStringLiteral("base_url"))
        .trimmed();
}

QString LeerPaginaWeb(Runtime &rt, WebFetcher &web, const QString &address)
{
    const WebPage page = web.fetch(QUrl(address));
    switch (page.outcome) {
    case WebPage::Outcome::Ok:
        return QString::fromUtf8(page.body);
    case WebPage::Outcome::ConnectionFailed:
        rt.log.debugOnly(QStringLiteral("LeerPaginaWeb ") + address + QStringLiteral(": ") + page.detail);
        plainBox(rt, QStringLiteral("Error opening Internet connection"));
        return {};
    case WebPage::Outcome::PageFailed:
        break;
    }
    rt.log.debugOnly(QStringLiteral("LeerPaginaWeb ") + address + QStringLiteral(": ") + page.detail);
    plainBox(rt, QStringLiteral("Error opening Web page"));
    return {};
}

bool Actualizacion(Runtime &rt, const UpdateServices &services, QString &downloadAddress)
{
    try {
        QString base = services.baseUrl.trimmed();
        while (base.endsWith(QLatin1Char('/')))
            base.chop(1);
        const QString page =
            LeerPaginaWeb(rt, *services.web, base + QLatin1String(kVersionDocumentPath));
        const QVariant installed = services.installedVersion ? services.installedVersion() : QVariant();

        const QStringList fields = page.split(kSeparator);
        if (page.isEmpty() || fields.size() < 2)
            throw B2DError(kSubscriptOutOfRange, QStringLiteral("Actualizacion"),
                           QStringLiteral("Subscript out of range"));
        const QString address = fields.at(1);
        if (wholeNumber(fields.at(0)) <= installedNumber(installed))
            return false;
        downloadAddress = downloadAddressOf(address);
        return true;
    } catch (const B2DError &e) {
        plainBox(rt, QStringLiteral("Error ") + QString::number(e.number()) + QStringLiteral(" (")
                         + e.description()
                         + QStringLiteral(") in procedure Actualizacion of Formulario frmMain"));
        return false;
    }
}

void UltimaVersion(Runtime &rt, const UpdateServices &services)
{
    if (services.baseUrl.trimmed().isEmpty() || !services.web) {
        plainBox(rt,
                 QStringLiteral("No hay una dirección de actualización configurada (clave base_url "
                                "del grupo [update] del archivo de conexiones)."),
                 BoxIcon::Information);
        return;
    }
    QString address;
    if (!Actualizacion(rt, services, address)) {
        plainBox(rt, QStringLiteral("Ya tiene la última versión"));
        return;
    }
    if (!services.browser || !services.browser->openUrl(QUrl(address))) {
        plainBox(rt,
                 QStringLiteral("No se pudo abrir el navegador con la dirección de descarga:")
                     + QLatin1Char('\n') + address,
                 BoxIcon::Warning);
        return;
    }
    FinalizarPrograma(rt, QStringLiteral("actualización: ") + address);
}

}  // namespace b2d
