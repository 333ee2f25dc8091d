#pragma once

#include "lookups/Relations.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace b2d {

class Runtime;
struct Settings;

// The configuration window (F9 of the main window): the 21 settings and the three editable
// relation tables. F11 (key pressed) stores every setting and takes it into the run at once; Esc
// closes without saving, on a release whose press the window itself received. INS and DEL on a
// relation grid, or its buttons, add a relation through its dialog or remove the current one.
class Frm_Config final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Frm_Config)
public:
    static QString caption();  // "Proceso Dorvane B2D  -  (Configuración)"

    explicit Frm_Config(Runtime &rt, QWidget *parent = nullptr);

    // F11: every setting, in the order of the settings table, into the run and the store.
    void Guardar();
    // Clears a grid to its headers and fills it from its table.
    void CargarGrilla(Relacion kind);
    // Asks about the current row of the grid and deletes its pair on Yes; true when deleted.
    bool DeleteRelacion(Relacion kind);
    // Opens the add dialog of the table modally, then reloads the grid.
    void InsRelacion(Relacion kind);

    QTableWidget *grid(Relacion kind) const { return m_grids.at(int(kind)); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A setting and the control that shows it (a text box or a check box).
    struct Binding {
        QString key;
        QLineEdit *text = nullptr;
        QCheckBox *check = nullptr;
    };

    QWidget *buildSettings();
    QWidget *buildRelations();
    void Form_Load();
    void DelRelacion(Relacion kind);
    Settings controlValues() const;
    template <typename F>
    void guarded(const QString &procedure, F &&body);

    Runtime &m_rt;
    QList<Binding> m_bindings;
    QList<QTableWidget *> m_grids;  // by Relacion
    QLabel *m_version = nullptr;
    bool m_escPressed = false;
};

}  // namespace b2d
