#include "gui/Frm_Main.h"

#include "app/OperationsList.h"
#include "app/Processing.h"
#include "gui/Frm_Config.h"
#include "gui/Frm_DEBUG.h"
#include "gui/Frm_View.h"
#include "gui/GridColumns.h"
#include "gui/OperationsModel.h"
#include "platform/Boxes.h"
#include "platform/Clock.h"
#include "platform/WebFetch.h"
#include "runtime/Errors.h"
#include "runtime/Runtime.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include <functional>
#include <memory>
#include <optional>

namespace b2d {

namespace {

QList<int> columnWidths()
{
    QList<int> widths;
    for (const auto &c : operationsColumns())
        widths << c.widthTwips;
    return widths;
}

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The keys the window acts on when they are released: Esc, F9 and Ctrl+Alt+D.
bool isWindowKey(const QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_F9)
        return true;
    const auto mods = e->modifiers();
    return e->key() == Qt::Key_D && mods.testFlag(Qt::ControlModifier) && mods.testFlag(Qt::AltModifier);
}

}  // namespace

QString Frm_Main::caption()
{
    return QStringLiteral("Proceso Dorvane B2D - (Operaciones)");
}

QString Frm_Main::legend()
{
    return QStringLiteral("[Esc] - Salir   [Enter] - Seleccionar Interno   [F9] - Configuración   "
                          "[F12] - Enviar B2D");
}

Frm_Main::Frm_Main(Runtime &rt, QWidget *parent) : QWidget(parent), m_rt(rt)
{
    setObjectName(QStringLiteral("Frm_Main"));
    buildControls();
    // The debug window exists from the start, so that it holds every line of the run.
    m_debug = new Frm_DEBUG(rt, this);
    Form_Load();
}

Frm_Main::~Frm_Main() = default;

void Frm_Main::buildControls()
{
    setWindowTitle(caption());
    resize(990, 620);

    // Dates.
    m_desde = new QDateEdit;
    m_desde->setObjectName(QStringLiteral("DtpDesde"));
    m_hasta = new QDateEdit;
    m_hasta->setObjectName(QStringLiteral("DtpHasta"));
    for (QDateEdit *d : {m_desde, m_hasta}) {
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setCalendarPopup(true);
    }
    auto *fechas = new QGroupBox(QStringLiteral("Fecha Oficializados"));
    fechas->setObjectName(QStringLiteral("Frame_Fechas"));
    auto *fechasLayout = new QGridLayout(fechas);
    fechasLayout->addWidget(new QLabel(QStringLiteral("Desde")), 0, 0);
    fechasLayout->addWidget(m_desde, 0, 1);
    fechasLayout->addWidget(new QLabel(QStringLiteral("Hasta")), 1, 0);
    fechasLayout->addWidget(m_hasta, 1, 1);

    // Order and the pending switch.
    m_optFecha = new QRadioButton(QStringLiteral("Ordenar x Fecha"));
    m_optFecha->setObjectName(QStringLiteral("Opt_xFecha"));
    m_optInterno = new QRadioButton(QStringLiteral("Ordenar x Interno"));
    m_optInterno->setObjectName(QStringLiteral("Opt_xInterno"));
    m_pendientes = new QCheckBox(QStringLiteral("Mostrar Pendientes"));
    m_pendientes->setObjectName(QStringLiteral("Chk_Pendientes"));
    auto *opciones = new QGroupBox;
    opciones->setObjectName(QStringLiteral("Frame_Orden"));
    auto *opcionesLayout = new QVBoxLayout(opciones);
    opcionesLayout->addWidget(m_optFecha);
    opcionesLayout->addWidget(m_optInterno);
    opcionesLayout->addWidget(m_pendientes);

    m_check = new QPushButton(QStringLiteral("Revisar Interno"));
    m_check->setObjectName(QStringLiteral("Cmd_Check"));
    m_ultimaVersion = new QPushButton(QStringLiteral("Obtener última versión"));
    m_ultimaVersion->setObjectName(QStringLiteral("cmdUltimaVersion"));
    auto *comandos = new QVBoxLayout;
    comandos->addStretch(1);
    comandos->addWidget(m_check);
    comandos->addWidget(m_ultimaVersion);

    // Version and prefixes.
    m_version = new QLabel;
    m_version->setObjectName(QStringLiteral("Lbl_Version"));
    m_prefijo = new QLabel;
    m_prefijo->setObjectName(QStringLiteral("Lbl_PrefijoDVNValue"));
    m_prefijoExpo = new QLabel;
    m_prefijoExpo->setObjectName(QStringLiteral("Lbl_PrefijoDVNEXPOValue"));
    auto *prefijoCaption = new QLabel(QStringLiteral("Prefijo DVN:"));
    prefijoCaption->setObjectName(QStringLiteral("Lbl_PrefijoDVN"));
    auto *prefijoExpoCaption = new QLabel(QStringLiteral("Prefijo DVN EXPO:"));
    prefijoExpoCaption->setObjectName(QStringLiteral("Lbl_PrefijoDVNEXPO"));
    auto *datos = new QGridLayout;
    datos->addWidget(m_version, 0, 0, 1, 2, Qt::AlignRight);
    datos->addWidget(prefijoCaption, 1, 0);
    datos->addWidget(m_prefijo, 1, 1);
    datos->addWidget(prefijoExpoCaption, 2, 0);
    datos->addWidget(m_prefijoExpo, 2, 1);

    auto *top = new QHBoxLayout;
    top->addWidget(fechas);
    top->addWidget(opciones);
    top->addLayout(comandos);
    top->addStretch(1);
    top->addLayout(datos);

    // The grid.
    m_model = new OperationsModel(this);
    m_grid = new QTableView;
    m_grid->setObjectName(QStringLiteral("MsFgListaInternos"));
    m_grid->setModel(m_model);
    m_grid->setFont(QFont(QStringLiteral("Courier New"), 9));
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setTabKeyNavigation(false);
    m_grid->setWordWrap(false);
    m_grid->setAlternatingRowColors(true);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 4);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    fitColumns(m_grid, columnWidths());

    auto *legendLabel = new QLabel(legend());
    legendLabel->setObjectName(QStringLiteral("Lbl_Teclas"));

    m_progreso = new QLabel;
    m_progreso->setObjectName(QStringLiteral("Lbl_Progreso"));
    m_progreso->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_progreso);
    layout->addWidget(legendLabel);

    // Events that refill the list.
    connect(m_desde, &QDateEdit::dateChanged, this, [this] {
        if (!m_loading)
            guarded(QStringLiteral("DtpDesde_Change"), [this] { CargarGrilla(); });
    });
    connect(m_hasta, &QDateEdit::dateChanged, this, [this] {
        if (!m_loading)
            guarded(QStringLiteral("DtpHasta_Change"), [this] { CargarGrilla(); });
    });
    connect(m_optFecha, &QRadioButton::clicked, this,
            [this] { guarded(QStringLiteral("Opt_xFecha_Click"), [this] { CargarGrilla(); }); });
    connect(m_optInterno, &QRadioButton::clicked, this,
            [this] { guarded(QStringLiteral("Opt_xInterno_Click"), [this] { CargarGrilla(); }); });
    connect(m_pendientes, &QCheckBox::clicked, this,
            [this] { guarded(QStringLiteral("Chk_Pendientes_Click"), [this] { CargarGrilla(); }); });
    connect(m_check, &QPushButton::clicked, this,
            [this] { guarded(QStringLiteral("Cmd_Check_Click"), [this] { revisarInterno(); }); });
    connect(m_ultimaVersion, &QPushButton::clicked, this, [this] {
        guarded(QStringLiteral("cmdUltimaVersion_Click"), [this] { ultimaVersion(); });
    });

    for (QWidget *w : std::initializer_list<QWidget *>{this, m_grid, m_desde, m_hasta, m_optFecha,
                                                       m_optInterno, m_pendientes, m_check,
                                                       m_ultimaVersion})
        w->installEventFilter(this);
}

void Frm_Main::Form_Load()
{
    m_loading = true;
    const QDate hoy = m_rt.clock.now().date();
    m_hasta->setDate(hoy);
    m_desde->setDate(hoy.addDays(-7));
    setWindowTitle(caption() + QStringLiteral(" - v") + Runtime::version());
    m_version->setText(QStringLiteral("v.") + Runtime::version());
    m_prefijo->setText(m_rt.cfg.PREFIJO);
    m_prefijoExpo->setText(m_rt.cfg.PREFIJOEXPO);
    m_pendientes->setChecked(false);
    m_optInterno->setChecked(true);
    m_loading = false;
    guarded(QStringLiteral("Form_Load"), [this] { CargarGrilla(); });
    m_grid->setFocus();
}

void Frm_Main::CargarGrilla()
{
    const QString keep = currentDespacho();
    OperationsOrder order = OperationsOrder::None;
    if (m_optFecha->isChecked())
        order = OperationsOrder::Fecha;
    else if (m_optInterno->isChecked())
        order = OperationsOrder::Interno;
    m_model->setRows(CargarOperaciones(m_rt, m_desde->date(), m_hasta->date(), order));
    fitColumns(m_grid, columnWidths());
    if (m_model->rowCount() == 0)
        return;
    int row = 0;
    for (int r = 0; r < m_model->rowCount(); ++r) {
        if (!keep.isEmpty() && m_model->cell(r, 0) == keep) {
            row = r;
            break;
        }
    }
    const QModelIndex index = m_model->index(row, 0);
    m_grid->setCurrentIndex(index);
    m_grid->selectRow(row);
    m_grid->scrollTo(index);
}

QString Frm_Main::currentDespacho() const
{
    const QModelIndex index = m_grid->currentIndex();
    if (!index.isValid())
        return {};
    return m_model->cell(index.row(), 0);
}

template <typename F>
void Frm_Main::guarded(const QString &procedure, F &&body)
{
    try {
        body();
    } catch (const ProgramEnd &end) {
        finalizarPrograma(end);
    } catch (const B2DError &e) {
        showFormError(m_rt, e, procedure, QStringLiteral("Frm_Main"));
    } catch (const std::exception &e) {
        showErrorText(m_rt, QStringLiteral("Error (") + QString::fromLocal8Bit(e.what())
                                + QStringLiteral(")\nin procedure ") + procedure
                                + QStringLiteral(" of Formulario Frm_Main"));
    }
}

namespace {

// While a generation runs the window keeps painting but takes no input: keys, clicks and the
// wheel aimed at it are dropped (the boxes the generation shows are windows of their own and
// take theirs). The busy cursor shows meanwhile.
class InputBlock final : public QObject {
public:
    explicit InputBlock(QWidget &window) : m_window(window)
    {
        qApp->installEventFilter(this);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~InputBlock() override
    {
        QApplication::restoreOverrideCursor();
        qApp->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel: {
            auto *widget = qobject_cast<QWidget *>(watched);
            return widget && widget->window() == &m_window;
        }
        default:
            return false;
        }
    }

private:
    QWidget &m_window;
};

}  // namespace

void Frm_Main::procesar()
{
    const QString numero = currentDespacho();
    if (numero.isEmpty())
        return;
    {
        m_busy = true;
        InputBlock block(*this);
        // The items loops tell where they are; whoever listened before still hears it.
        const std::function<void(int, int)> before = m_rt.onProgress;
        m_rt.onProgress = [this, &before](int item, int items) {
            m_progreso->setText(QStringLiteral("item %1 of %2").arg(item).arg(items));
            m_progreso->show();
            QApplication::processEvents();
            if (before)
                before(item, items);
        };
        struct Restore {
            Frm_Main &w;
            std::function<void(int, int)> before;
            ~Restore()
            {
                w.m_rt.onProgress = before;
                w.m_progreso->hide();
                w.m_busy = false;
            }
        } restore{*this, before};
        ProcesarOperacion(m_rt, numero);
    }
    CargarGrilla();
}

void Frm_Main::enviar()
{
    if (currentDespacho().isEmpty())
        return;
    const QString pregunta = QStringLiteral("El archivo [archivo] ") + QLatin1Char('\n')
        + QStringLiteral("generado por el proceso [proceso] ,") + QLatin1Char('\n')
        + QStringLiteral("se enviara a la carpeta para enviar a Dorvane.") + QLatin1Char('\n')
        + QStringLiteral("Desea continuar?");
    if (!m_rt.boxes.askYesNo(pregunta, Runtime::appTitle()))
        return;
    CopiarXMLa_preFTP(m_rt, currentDespacho());
    CargarGrilla();
}

void Frm_Main::configuracion()
{
    Frm_Config config(m_rt, this);
    config.exec();
}

void Frm_Main::revisarInterno()
{
    const QModelIndex index = m_grid->currentIndex();
    auto view = std::make_unique<Frm_View>(m_rt, this);
    view->setInterno(index.isValid() ? m_model->cell(index.row(), 4) : QString());
    view->Mostrar();
    // A viewer with nothing to show is not kept; a shown one deletes itself when closed.
    if (view->isVisible())
        view.release();
}

void Frm_Main::ultimaVersion()
{
    // While the version document is fetched the window takes no other command: its input is
    // dropped, and the fetch's own wait takes no input either.
    struct BusyFetcher final : WebFetcher {
        Frm_Main &window;
        WebFetcher &inner;
        BusyFetcher(Frm_Main &w, WebFetcher &f) : window(w), inner(f) {}
        WebPage fetch(const QUrl &address) override
        {
            window.m_busy = true;
            window.setEnabled(false);
            QApplication::setOverrideCursor(Qt::WaitCursor);
            WebPage page = inner.fetch(address);
            QApplication::processEvents();  // input that arrived meanwhile reaches nothing
            QApplication::restoreOverrideCursor();
            window.setEnabled(true);
            window.m_busy = false;
            return page;
        }
    };
    UpdateServices services = m_update;
    std::optional<BusyFetcher> busy;
    if (services.web) {
        busy.emplace(*this, *services.web);
        services.web = &*busy;
    }
    UltimaVersion(m_rt, services);
}

void Frm_Main::mostrarDebug()
{
    m_debug->show();
    m_debug->raise();
    m_debug->activateWindow();
}

void Frm_Main::terminar()
{
    if (m_ended)
        return;
    m_ended = true;
    m_debug->close();
    close();
    emit programEnded();
}

void Frm_Main::finalizarPrograma(const ProgramEnd &)
{
    // "Finalizar Programa" already wrote its log line and its reason was shown: close in order.
    terminar();
}

void Frm_Main::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!m_ended) {
        m_ended = true;
        m_debug->close();
        emit programEnded();
    }
}

bool Frm_Main::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (m_ended || m_busy)
        return true;

    if (event->type() == QEvent::KeyPress) {
        if (isWindowKey(key)) {
            // Acted on at release; a release whose press went to a box that has closed since
            // (Esc answering a question) is not the operator's key for this window.
            if (!key->isAutoRepeat())
                m_pressedKey = key->key();
            return true;
        }
        m_pressedKey = 0;
        if (watched == m_grid && !key->isAutoRepeat()) {
            if (isEnter(key->key())) {
                guarded(QStringLiteral("MsFgListaInternos_KeyDown"), [this] { procesar(); });
                return true;
            }
            if (key->key() == Qt::Key_F12) {
                guarded(QStringLiteral("MsFgListaInternos_KeyDown"), [this] { enviar(); });
                return true;
            }
        }
        if ((watched == m_desde || watched == m_hasta) && isEnter(key->key())) {
            m_grid->setFocus();
            return true;
        }
        return QWidget::eventFilter(watched, event);
    }

    // Key released: only the release of a window key pressed here counts.
    if (m_pressedKey == 0 || key->key() != m_pressedKey)
        return QWidget::eventFilter(watched, event);
    if (key->isAutoRepeat())
        return true;
    m_pressedKey = 0;
    switch (key->key()) {
    case Qt::Key_Escape:
        terminar();
        break;
    case Qt::Key_F9:
        guarded(QStringLiteral("Form_KeyUp"), [this] { configuracion(); });
        break;
    default:
        mostrarDebug();
        break;
    }
    return true;
}

}  // namespace b2d
