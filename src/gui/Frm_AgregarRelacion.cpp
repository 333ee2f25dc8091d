#include "gui/Frm_AgregarRelacion.h"

#include "platform/Boxes.h"
#include "runtime/Errors.h"
#include "runtime/Runtime.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace b2d {

namespace {

// The captions of each dialog's two boxes.
QStringList boxCaptions(Relacion kind)
{
    if (kind == Relacion::Concepto)
        return {QStringLiteral("Concepto Origen"), QStringLiteral("Concepto Destino")};
    return {QStringLiteral("Código SIM"), QStringLiteral("Código ISO")};
}

}  // namespace

AgregarRelacionDialog::AgregarRelacionDialog(Runtime &rt, Relacion kind, const QString &origenName,
                                             const QString &destinoName, QWidget *parent)
    : QDialog(parent), m_rt(rt), m_kind(kind), m_origen(new QLineEdit), m_destino(new QLineEdit)
{
    const QString name = relationTable(kind).name;
    setObjectName(QStringLiteral("Frm_AgregarRelacion") + name);
    setWindowTitle(QStringLiteral("Agregar Relacion ") + name);
    setModal(true);
    m_origen->setObjectName(origenName);
    m_destino->setObjectName(destinoName);

    const QStringList captions = boxCaptions(kind);
    auto *form = new QFormLayout;
    form->addRow(captions.at(0), m_origen);
    form->addRow(captions.at(1), m_destino);
    auto *legend = new QLabel(QStringLiteral("[F11] - Agregar  [Esc] - Salir "));
    legend->setObjectName(QStringLiteral("Lbl_Teclas"));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(legend);

    for (QWidget *w : std::initializer_list<QWidget *>{this, m_origen, m_destino})
        w->installEventFilter(this);
}

QString AgregarRelacionDialog::procedure() const
{
    return QStringLiteral("AgregarRelacion") + relationTable(m_kind).name;
}

bool AgregarRelacionDialog::Agregar()
{
    try {
        QString error;
        if (insertRelation(m_rt, m_kind, m_origen->text(), m_destino->text(), &error))
            return true;
        m_rt.boxes.message(error, BoxButtons::Ok, BoxIcon::None, Runtime::appTitle());
    } catch (const B2DError &e) {
        showFormError(m_rt, e, procedure(), objectName());
    }
    return false;
}

bool AgregarRelacionDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F11) {
            if (!key->isAutoRepeat() && Agregar())
                accept();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

Frm_AgregarRelacionConcepto::Frm_AgregarRelacionConcepto(Runtime &rt, QWidget *parent)
    : AgregarRelacionDialog(rt, Relacion::Concepto, QStringLiteral("txt_ConceptoOrigen"),
                            QStringLiteral("Txt_ConceptoDestino"), parent)
{
}

Frm_AgregarRelacionMoneda::Frm_AgregarRelacionMoneda(Runtime &rt, QWidget *parent)
    : AgregarRelacionDialog(rt, Relacion::Moneda, QStringLiteral("txt_ConceptoOrigen"),
                            QStringLiteral("Txt_ConceptoDestino"), parent)
{
}

Frm_AgregarRelacionPais::Frm_AgregarRelacionPais(Runtime &rt, QWidget *parent)
    : AgregarRelacionDialog(rt, Relacion::Pais, QStringLiteral("txt_PaisOrigen"),
                            QStringLiteral("Txt_PaisDestino"), parent)
{
}

}  // namespace b2d
