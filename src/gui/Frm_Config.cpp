#include "gui/Frm_Config.h"

#include "gui/Frm_AgregarRelacion.h"
#include "gui/GridColumns.h"
#include "platform/Boxes.h"
#include "runtime/Errors.h"
#include "runtime/Runtime.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <memory>

namespace b2d {

namespace {

const QString kForm = QStringLiteral("Frm_Config");

QList<int> columnWidths(const RelationTable &t)
{
    QList<int> widths;
    for (const RelationColumn &c : t.columns)
        widths << c.widthTwips;
    return widths;
}

// The controls of the settings, in the order of the settings table.
struct Control {
    const char *key;
    const char *name;
    const char *caption;
    const char *toolTip;
};
const Control kControls[] = {
    {"PREFIJO", "txt_PrefijoDorvane", "Prefijo Dvn Imp.", nullptr},
    {"PREFIJOEXPO", "txt_PrefijoDorvaneExpo", "Prefijo Dvn Exp.", nullptr},
    {"PAISESSIM", "Chk_PaisesSIM", "Usar Codigo Pais SIM", nullptr},
    {"PAISESDESCRIPCION", "Chk_PaisesDescripcion", "Incluir Descripcion", nullptr},
    {"CONCEPTOSSIM", "Chk_ConceptosSIM", "Usar Codigo Concepto SIM", nullptr},
    {"CONCEPTOSDESCRIPCION", "Chk_ConceptosDescripcion", "Incluir Descripcion", nullptr},
    {"TIPOOBLIGACION", "Chk_ConceptosTipoObligacion", "Incluir Tipo de Obligacion", nullptr},
    {"INCLUIRDETALLEJURIS", "Chk_IncluirDetalleJuris", "Incluir Detalle Jurisd.", nullptr},
    {"IGNORARRELACIONCONCEPTO", "Chk_IgnorarRelacionConcepto", "Ignorar Relacion Concepto", nullptr},
    {"IGNORARRELACIONPAIS", "Chk_IgnorarRelacionPais", "Ignorar Relacion Pais", nullptr},
    {"IGNORARRELACIONMONEDA", "Chk_IgnorarRelacionMoneda", "Ignorar Relacion Moneda", nullptr},
    {"PREDETERMINARHORA", "txt_PredeterminarHora", "Predet. hora", nullptr},
    {"INCLUIR900PENCARATULA", "Chk_Incluir900PenCaratula", "Incluir 900P (Ing. Br.) en caratula",
     nullptr},
    {"FIXPROCESSREFERENCECODE", "Chk_FixProcessReferenceCode", "Fix ProcessReference", nullptr},
    {"REQDIIMPO", "Chk_ReqDI_Impo", "Requerimiento \"DI\" en Impo",
     "Requerimiento de archivo \"DI\" para generar XML"},
    {"REQCANALYFECHAS", "Chk_ReqCanalyFechas", "Requerimiento Canal y Fechas",
     "Requiere establecer y Canal y todas las Fechas para generar el XML"},
    {"PERMITIRFECHASVACIAS", "Chk_PermitirFechasVacias", "Permitir enviar fechas vacias", nullptr},
    {"OMITIRCODIGOALTERNATIVO", "Chk_OmitirCodigoAlternativo", "Omitir Codigo Alternativo", nullptr},
    {"OMITIRRELACIONDJDI", "Chk_OmitirRelacionDJDI", "Omitir Relacion DJ - DI", nullptr},
    {"RUTAB2D", "Txt_RutaB2D", "Ruta B2D (FTP)", nullptr},
    {"RUTAGENXML", "Txt_RutaGenXML", "Ruta XML ", nullptr},
};

QString text(const char *s)
{
    return QString::fromUtf8(s);
}

}  // namespace

QString Frm_Config::caption()
{
    return QStringLiteral("Proceso Dorvane B2D  -  (Configuración)");
}

Frm_Config::Frm_Config(Runtime &rt, QWidget *parent) : QDialog(parent), m_rt(rt)
{
    setObjectName(kForm);
    setWindowTitle(caption());
    setModal(true);
    resize(960, 660);

    auto *body = new QHBoxLayout;
    body->addWidget(buildSettings());
    body->addWidget(buildRelations(), 1);

    m_version = new QLabel;
    m_version->setObjectName(QStringLiteral("Lbl_Version"));
    auto *legend = new QLabel(QStringLiteral("[F11] - Guardar  [Esc] - Salir "));
    legend->setObjectName(QStringLiteral("Lbl_Teclas"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(legend);
    bottom->addStretch(1);
    bottom->addWidget(m_version);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(bottom);

    // The window's keys, wherever the focus is.
    installEventFilter(this);
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);

    Form_Load();
}

QWidget *Frm_Config::buildSettings()
{
    auto *box = new QGroupBox(QStringLiteral("Configuración"));
    box->setObjectName(QStringLiteral("Frame_Configuracion"));
    auto *grid = new QGridLayout(box);
    int row = 0;
    for (const Control &c : kControls) {
        Binding b{QLatin1String(c.key)};
        QWidget *control = nullptr;
        if (isSwitchSetting(b.key)) {
            b.check = new QCheckBox(text(c.caption));
            control = b.check;
            grid->addWidget(b.check, row, 0, 1, 2);
        } else {
            b.text = new QLineEdit;
            control = b.text;
            auto *label = new QLabel(text(c.caption));
            label->setBuddy(b.text);
            grid->addWidget(label, row, 0);
            grid->addWidget(b.text, row, 1);
        }
        control->setObjectName(QLatin1String(c.name));
        if (c.toolTip)
            control->setToolTip(text(c.toolTip));
        m_bindings << b;
        ++row;
    }
    grid->setRowStretch(row, 1);
    box->setMinimumWidth(360);
    return box;
}

QWidget *Frm_Config::buildRelations()
{
    auto *panel = new QWidget;
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const Relacion kind : relationKinds()) {
        const RelationTable &t = relationTable(kind);
        auto *box = new QGroupBox(QStringLiteral("Relacion ") + t.name);
        box->setObjectName(QStringLiteral("Frame_Relacion") + t.name);
        auto *grid = new QTableWidget;
        grid->setObjectName(QStringLiteral("MsFgRelacion") + t.name);
        grid->setColumnCount(int(t.columns.size()));
        QStringList headers;
        for (const RelationColumn &c : t.columns)
            headers << c.header;
        grid->setHorizontalHeaderLabels(headers);
        fitColumns(grid, columnWidths(t));
        grid->verticalHeader()->setVisible(false);
        grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
        grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        grid->setSelectionMode(QAbstractItemView::SingleSelection);
        grid->setTabKeyNavigation(false);
        m_grids << grid;

        auto *ins = new QPushButton(QStringLiteral("Agregar"));
        ins->setObjectName(QStringLiteral("Cmd_InsRelacion") + t.name);
        auto *del = new QPushButton(QStringLiteral("Quitar"));
        del->setObjectName(QStringLiteral("Cmd_DelRelacion") + t.name);
        for (QPushButton *b : {ins, del}) {
            b->setAutoDefault(false);
            b->setDefault(false);
        }
        connect(ins, &QPushButton::clicked, this, [this, kind] {
            guarded(QStringLiteral("Cmd_InsRelacion") + relationTable(kind).name + QStringLiteral("_Click"),
                    [this, kind] { InsRelacion(kind); });
        });
        connect(del, &QPushButton::clicked, this, [this, kind] {
            guarded(QStringLiteral("Cmd_DelRelacion") + relationTable(kind).name + QStringLiteral("_Click"),
                    [this, kind] { DelRelacion(kind); });
        });
        auto *buttons = new QVBoxLayout;
        buttons->addWidget(ins);
        buttons->addWidget(del);
        buttons->addStretch(1);
        auto *row = new QHBoxLayout(box);
        row->addWidget(grid, 1);
        row->addLayout(buttons);
        layout->addWidget(box, 1);
    }
    auto *legend = new QLabel(QStringLiteral("[INS] - Agregar [DEL] - Quitar"));
    legend->setObjectName(QStringLiteral("Lbl_TeclasRelaciones"));
    layout->addWidget(legend);
    return panel;
}

void Frm_Config::Form_Load()
{
    m_version->setText(QStringLiteral("v.") + Runtime::version());
    // The prefixes as the run holds them; the switches and the other texts read again from the
    // store, each by the rule the program reads it with.
    Settings shown = loadSettings(m_rt.store);
    shown.PREFIJO = m_rt.cfg.PREFIJO;
    shown.PREFIJOEXPO = m_rt.cfg.PREFIJOEXPO;
    for (const Binding &b : m_bindings) {
        const QString value = settingValueText(shown, b.key);
        if (b.check)
            b.check->setChecked(value == QLatin1String("1"));
        else
            b.text->setText(value);
    }
    for (const Relacion kind : relationKinds())
        CargarGrilla(kind);
}

Settings Frm_Config::controlValues() const
{
    Settings values;
    for (const Binding &b : m_bindings)
        applySetting(values, b.key,
                     b.check ? (b.check->isChecked() ? QStringLiteral("1") : QStringLiteral("0"))
                             : b.text->text());
    return values;
}

void Frm_Config::Guardar()
{
    GuardarConfiguracion(m_rt.store, m_rt.cfg, controlValues());
}

void Frm_Config::CargarGrilla(Relacion kind)
{
    QTableWidget *g = grid(kind);
    g->setRowCount(0);
    try {
        const QList<QStringList> rows = CargarRelaciones(m_rt, kind);
        g->setRowCount(int(rows.size()));
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows.at(r).size(); ++c)
                g->setItem(r, c, new QTableWidgetItem(rows.at(r).at(c)));
        if (!rows.isEmpty())
            g->setCurrentCell(0, 0);
    } catch (const B2DError &e) {
        showFormError(m_rt, e, QStringLiteral("CargarGrillaRelacion") + relationTable(kind).name, kForm);
    }
    fitColumns(g, columnWidths(relationTable(kind)));
}

bool Frm_Config::DeleteRelacion(Relacion kind)
{
    QTableWidget *g = grid(kind);
    const int row = g->currentRow();
    // Without a data row there is nothing to remove.
    if (row < 0 || row >= g->rowCount())
        return false;
    auto cell = [g, row](int column) {
        const QTableWidgetItem *item = g->item(row, column);
        return item ? item->text() : QString();
    };
    const QString origen = cell(0);
    const QString destino = cell(1);
    if (m_rt.boxes.message(relationDeleteQuestion(kind, origen, destino), BoxButtons::YesNo,
                           BoxIcon::Warning, Runtime::appTitle())
        != BoxAnswer::Yes)
        return false;
    QString error;
    if (deleteRelation(m_rt, kind, origen, destino, &error))
        return true;
    m_rt.boxes.message(error, BoxButtons::Ok, BoxIcon::None, Runtime::appTitle());
    return false;
}

void Frm_Config::DelRelacion(Relacion kind)
{
    if (DeleteRelacion(kind))
        CargarGrilla(kind);
}

void Frm_Config::InsRelacion(Relacion kind)
{
    std::unique_ptr<QDialog> dialog;
    switch (kind) {
    case Relacion::Concepto:
        dialog = std::make_unique<Frm_AgregarRelacionConcepto>(m_rt, this);
        break;
    case Relacion::Moneda:
        dialog = std::make_unique<Frm_AgregarRelacionMoneda>(m_rt, this);
        break;
    case Relacion::Pais:
        dialog = std::make_unique<Frm_AgregarRelacionPais>(m_rt, this);
        break;
    }
    dialog->exec();
    dialog.reset();
    CargarGrilla(kind);
}

template <typename F>
void Frm_Config::guarded(const QString &procedure, F &&body)
{
    try {
        body();
    } catch (const B2DError &e) {
        showFormError(m_rt, e, procedure, kForm);
    }
}

bool Frm_Config::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);

    if (event->type() == QEvent::KeyRelease) {
        if (key->key() != Qt::Key_Escape)
            return QDialog::eventFilter(watched, event);
        // Only the release of an Esc pressed here closes: the Esc that closed an add dialog or
        // answered a question was pressed elsewhere.
        if (m_escPressed && !key->isAutoRepeat()) {
            m_escPressed = false;
            reject();
        }
        return true;
    }

    if (key->key() == Qt::Key_Escape) {
        if (!key->isAutoRepeat())
            m_escPressed = true;
        return true;  // never the dialog's own Esc, which closes on the press
    }
    m_escPressed = false;
    if (key->key() == Qt::Key_F11) {
        if (!key->isAutoRepeat())
            guarded(QStringLiteral("Form_KeyDown"), [this] { Guardar(); });
        return true;
    }
    for (const Relacion kind : relationKinds()) {
        if (watched != grid(kind))
            continue;
        if (key->key() == Qt::Key_Insert) {
            guarded(QStringLiteral("MsFgRelacion") + relationTable(kind).name + QStringLiteral("_KeyDown"),
                    [this, kind] { InsRelacion(kind); });
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            guarded(QStringLiteral("MsFgRelacion") + relationTable(kind).name + QStringLiteral("_KeyDown"),
                    [this, kind] { DelRelacion(kind); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace b2d
