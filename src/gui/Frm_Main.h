#pragma once

#include "app/UpdateCheck.h"

#include <QWidget>

class QCheckBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;

namespace b2d {

class Frm_DEBUG;
class OperationsModel;
class ProgramEnd;
class Runtime;

// The main window: the operations of a date range in MsFgListaInternos, Enter to generate the
// current row's file, F12 to hand it to the send folder, Esc to leave. It works on a Runtime whose
// start-up checks have already run (the shell's job) and shows its boxes through rt.boxes.
class Frm_Main final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Frm_Main)
public:
    static QString caption();  // "Proceso Dorvane B2D - (Operaciones)"
    static QString legend();   // the key legend under the grid

    explicit Frm_Main(Runtime &rt, QWidget *parent = nullptr);
    ~Frm_Main() override;

    // Refills the list from the current dates and order option, keeping the current operation
    // selected when it is still listed.
    void CargarGrilla();

    Frm_DEBUG &debugWindow() { return *m_debug; }
    OperationsModel &operations() { return *m_model; }
    // The declaration number of the current data row; empty when no data row is current.
    QString currentDespacho() const;
    // True once the program was ended (Esc, "Finalizar Programa" or the window closed).
    bool hasEnded() const { return m_ended; }
    // What the command "Obtener última versión" uses; without it the command says that no
    // update address is configured.
    void setUpdateServices(const UpdateServices &services) { m_update = services; }

signals:
    // The program must end now: the window and the debug window are already closed.
    void programEnded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void procesar();
    void enviar();
    void configuracion();
    void mostrarDebug();
    void revisarInterno();
    void ultimaVersion();
    void terminar();
    void finalizarPrograma(const ProgramEnd &end);
    template <typename F>
    void guarded(const QString &procedure, F &&body);

    Runtime &m_rt;
    OperationsModel *m_model = nullptr;
    QTableView *m_grid = nullptr;
    QDateEdit *m_desde = nullptr;
    QDateEdit *m_hasta = nullptr;
    QRadioButton *m_optFecha = nullptr;
    QRadioButton *m_optInterno = nullptr;
    QCheckBox *m_pendientes = nullptr;
    QPushButton *m_check = nullptr;
    QPushButton *m_ultimaVersion = nullptr;
    QLabel *m_version = nullptr;
    QLabel *m_prefijo = nullptr;
    QLabel *m_prefijoExpo = nullptr;
    QLabel *m_progreso = nullptr;  // "item n of N" while a generation runs
    Frm_DEBUG *m_debug = nullptr;
    bool m_loading = false;
    bool m_ended = false;
    bool m_busy = false;  // a command is waiting (the update check's fetch): no other command
    UpdateServices m_update;
    int m_pressedKey = 0;
};

}  // namespace b2d
