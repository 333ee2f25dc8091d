#pragma once

#include "lookups/Relations.h"

#include <QDialog>

class QLineEdit;

namespace b2d {

class Runtime;

// The dialog that adds one relation: an origin and a destination text box, F11 to add (the
// dialog closes when the insert succeeded; a refused insert shows the database's text and the
// dialog stays open), Esc to close. The three dialogs of the configuration window differ only in
// their table and their names.
class AgregarRelacionDialog : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AgregarRelacionDialog)
public:
    // "AgregarRelacionConcepto" (Moneda, Pais): the procedure the errors name.
    QString procedure() const;
    // Runs the insert with the two texts; true when it succeeded.
    bool Agregar();

    QLineEdit *origen() const { return m_origen; }
    QLineEdit *destino() const { return m_destino; }

protected:
    AgregarRelacionDialog(Runtime &rt, Relacion kind, const QString &origenName,
                          const QString &destinoName, QWidget *parent);
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Runtime &m_rt;
    Relacion m_kind;
    QLineEdit *m_origen;
    QLineEdit *m_destino;
};

class Frm_AgregarRelacionConcepto final : public AgregarRelacionDialog {
    Q_OBJECT
public:
    explicit Frm_AgregarRelacionConcepto(Runtime &rt, QWidget *parent = nullptr);
};

class Frm_AgregarRelacionMoneda final : public AgregarRelacionDialog {
    Q_OBJECT
public:
    explicit Frm_AgregarRelacionMoneda(Runtime &rt, QWidget *parent = nullptr);
};

class Frm_AgregarRelacionPais final : public AgregarRelacionDialog {
    Q_OBJECT
public:
    explicit Frm_AgregarRelacionPais(Runtime &rt, QWidget *parent = nullptr);
};

}  // namespace b2d
