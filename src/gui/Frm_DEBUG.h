#pragma once

#include <QWidget>

class QTableWidget;
class QTextEdit;

namespace b2d {

class Runtime;

// The debug window: every line written through EscribirLogDebug (and the statement trace) in
// RTBDebug, the loaded settings in MSFGSDC. Created with the main window, shown by Ctrl+Alt+D,
// hidden by Esc; its text is kept for the whole run.
class Frm_DEBUG final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Frm_DEBUG)
public:
    explicit Frm_DEBUG(Runtime &rt, QWidget *parent = nullptr);

    // Adds one line at the end of RTBDebug and moves the insertion point after it.
    void agregarLinea(const QString &line);
    QString texto() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CargarConfiguracionEnGrilla();

    Runtime &m_rt;
    QTextEdit *m_text;
    QTableWidget *m_grid;
};

}  // namespace b2d
