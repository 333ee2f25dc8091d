#include "gui/Frm_DEBUG.h"

#include "runtime/RunLog.h"
#include "runtime/Runtime.h"
#include "settings/Settings.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QSplitter>
#include <QTableWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace b2d {

Frm_DEBUG::Frm_DEBUG(Runtime &rt, QWidget *parent)
    : QWidget(parent, Qt::Window), m_rt(rt), m_text(new QTextEdit), m_grid(new QTableWidget)
{
    setObjectName(QStringLiteral("Frm_DEBUG"));
    setWindowTitle(QStringLiteral("Debug - ") + Runtime::appTitle());
    resize(900, 600);

    m_text->setObjectName(QStringLiteral("RTBDebug"));
    m_text->setReadOnly(true);
    m_text->setAcceptRichText(false);
    m_text->setLineWrapMode(QTextEdit::NoWrap);
    m_text->setFont(QFont(QStringLiteral("Courier New"), 9));

    m_grid->setObjectName(QStringLiteral("MSFGSDC"));
    m_grid->setColumnCount(2);
    m_grid->setHorizontalHeaderLabels({QStringLiteral("CONFIG"), QStringLiteral("VALUE")});
    m_grid->verticalHeader()->setVisible(false);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);

    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(m_text);
    splitter->addWidget(m_grid);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    for (QWidget *w : {static_cast<QWidget *>(this), static_cast<QWidget *>(m_text),
                       static_cast<QWidget *>(m_grid)})
        w->installEventFilter(this);

    CargarConfiguracionEnGrilla();

    // The log outlives nothing here: a window destroyed before the run log stops receiving.
    rt.log.addDebugSink([self = QPointer<Frm_DEBUG>(this)](const QString &line) {
        if (self)
            self->agregarLinea(line);
    });
}

void Frm_DEBUG::CargarConfiguracionEnGrilla()
{
    const QStringList &keys = settingKeys();
    m_grid->setRowCount(int(keys.size()));
    for (int i = 0; i < keys.size(); ++i) {
        m_grid->setItem(i, 0, new QTableWidgetItem(keys.at(i)));
        m_grid->setItem(i, 1, new QTableWidgetItem(settingValueText(m_rt.cfg, keys.at(i))));
    }
    m_grid->resizeColumnToContents(0);
}

void Frm_DEBUG::agregarLinea(const QString &line)
{
    m_text->moveCursor(QTextCursor::End);
    m_text->insertPlainText(line + QLatin1Char('\n'));
    m_text->moveCursor(QTextCursor::End);
}

QString Frm_DEBUG::texto() const
{
    return m_text->toPlainText();
}

bool Frm_DEBUG::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        hide();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace b2d
