#include "gui/Frm_DEBUG.h"
#include "gui/Frm_Main.h"
#include "gui/OperationsModel.h"

#include "support/TestSupport.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace b2d;
using namespace b2d::test;

namespace {

const QString kList = QStringLiteral("exec sp_Traer_Internos_VelmoraB2D");
// The start-up range of the fixed clock (5 March 2019): a week back to today.
const QString kStartStatement =
    QStringLiteral("exec sp_Traer_Internos_VelmoraB2D '26/02/2019','05/03/2019',1");

ResultSet listRows()
{
    const QStringList columns{QStringLiteral("Despacho"), QStringLiteral("FechaOf"),
                              QStringLiteral("SubReg"),   QStringLiteral("IntCaldra"),
                              QStringLiteral("IntDorvane"), QStringLiteral("Xml_B2DFile"),
                              QStringLiteral("Xml_Procesado"), QStringLiteral("Xml_Enviado")};
    return rows(columns,
                {{QStringLiteral("19001IC04000077A"), QStringLiteral("01/03/2019"), QStringLiteral("IC04"),
                  QStringLiteral("0077/19"), QStringLiteral("D-77"),
                  QStringLiteral("AB__IC04_2019_77_20190305140709"), QStringLiteral("05/03/2019"),
                  QVariant()},
                 {QStringLiteral("19001EC01000012B"), QStringLiteral("02/03/2019"), QStringLiteral("EC01"),
                  QStringLiteral("0012/19"), QStringLiteral("D-12"),
                  QStringLiteral("CD_EC01_0012_19_20190304101010"), QVariant(), QVariant()}});
}

struct MainWindow : ::testing::Test {
    TestRun run;

    void SetUp() override
    {
        run.rt.cfg.PREFIJO = QStringLiteral("AB_");
        run.rt.cfg.PREFIJOEXPO = QStringLiteral("CD");
        run.data.onContains(QStringLiteral("INTERNOS"), kList, listRows());
    }

    template <typename T>
    static T *control(Frm_Main &w, const char *name)
    {
        T *c = w.findChild<T *>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QStringList listStatements() const
    {
        QStringList out;
        for (const QString &sql : run.data.statements(QStringLiteral("INTERNOS")))
            if (sql.startsWith(kList))
                out << sql;
        return out;
    }
    bool logHas(const QString &text) const { return run.logText().contains(text); }
};

}  // namespace

TEST_F(MainWindow, LoadFillsTheListWithNineColumnsAndTheSettings)
{
    Frm_Main w(run.rt);

    EXPECT_EQ(listStatements(), QStringList{kStartStatement});
    EXPECT_EQ(w.windowTitle(),
              QStringLiteral("Proceso Dorvane B2D - (Operaciones) - v") + Runtime::version());
    EXPECT_EQ(control<QLabel>(w, "Lbl_Version")->text(), QStringLiteral("v.") + Runtime::version());
    EXPECT_EQ(control<QLabel>(w, "Lbl_PrefijoDVNValue")->text(), QStringLiteral("AB_"));
    EXPECT_EQ(control<QLabel>(w, "Lbl_PrefijoDVNEXPOValue")->text(), QStringLiteral("CD"));
    EXPECT_TRUE(control<QRadioButton>(w, "Opt_xInterno")->isChecked());
    EXPECT_FALSE(control<QRadioButton>(w, "Opt_xFecha")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(w, "Chk_Pendientes")->isChecked());
    EXPECT_EQ(control<QDateEdit>(w, "DtpDesde")->date(), QDate(2019, 2, 26));
    EXPECT_EQ(control<QDateEdit>(w, "DtpHasta")->date(), QDate(2019, 3, 5));

    auto *grid = control<QTableView>(w, "MsFgListaInternos");
    QAbstractItemModel *m = grid->model();
    ASSERT_EQ(m->columnCount(), 9);
    ASSERT_EQ(m->rowCount(), 2);
    const QStringList headers{"NroDeclaracion", "Fecha Of.", "SubReg", "Archivo D2B", "Int. Caldra",
                              "Int. Dorvane", "Archivo B2D", "Procesado", "Enviado"};
    for (int c = 0; c < 9; ++c)
        EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString(), headers.at(c)) << c;
    const QStringList first{"19001IC04000077A", "01/03/2019", "IC04", "", "0077/19", "D-77",
                            "IC04_2019_77_20190305140709", "05/03/2019", ""};
    const QStringList second{"19001EC01000012B", "02/03/2019", "EC01", "", "0012/19", "D-12",
                             "CD_EC01_0012_19_20190304101010", "", ""};
    for (int c = 0; c < 9; ++c) {
        EXPECT_EQ(m->index(0, c).data().toString(), first.at(c)) << c;
        EXPECT_EQ(m->index(1, c).data().toString(), second.at(c)) << c;
    }
    // Each column at least its width in twips and wide enough for its header and its texts.
    for (int c = 0; c < 9; ++c) {
        int widest = grid->horizontalHeader()->fontMetrics().horizontalAdvance(headers.at(c));
        for (const QStringList *row : {&first, &second})
            widest = std::max(widest, grid->fontMetrics().horizontalAdvance(row->at(c)));
        EXPECT_GT(grid->columnWidth(c), widest) << c;
    }
    EXPECT_GE(grid->columnWidth(0), 1900 / 15);
    EXPECT_GE(grid->columnWidth(6), 2000 / 15);
    EXPECT_EQ(m->index(0, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_EQ(grid->font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(w.currentDespacho(), QStringLiteral("19001IC04000077A"));
}

TEST_F(MainWindow, EveryControlEventRefillsTheListWithItsStatement)
{
    Frm_Main w(run.rt);
    auto *desde = control<QDateEdit>(w, "DtpDesde");
    auto *hasta = control<QDateEdit>(w, "DtpHasta");
    auto *fecha = control<QRadioButton>(w, "Opt_xFecha");
    auto *interno = control<QRadioButton>(w, "Opt_xInterno");
    auto *pendientes = control<QCheckBox>(w, "Chk_Pendientes");

    const struct {
        const char *event;
        std::function<void()> act;
        const char *statement;
    } cases[] = {
        {"from date", [&] { desde->setDate(QDate(2019, 2, 1)); },
         "exec sp_Traer_Internos_VelmoraB2D '01/02/2019','05/03/2019',1"},
        {"to date", [&] { hasta->setDate(QDate(2019, 3, 31)); },
         "exec sp_Traer_Internos_VelmoraB2D '01/02/2019','31/03/2019',1"},
        {"order by date", [&] { fecha->click(); },
         "exec sp_Traer_Internos_VelmoraB2D '01/02/2019','31/03/2019',0"},
        {"pending switch", [&] { pendientes->click(); },
         "exec sp_Traer_Internos_VelmoraB2D '01/02/2019','31/03/2019',0"},
        {"order by number", [&] { interno->click(); },
         "exec sp_Traer_Internos_VelmoraB2D '01/02/2019','31/03/2019',1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.event);
        run.data.clearCalls();
        c.act();
        EXPECT_EQ(listStatements(), QStringList{QLatin1String(c.statement)});
        EXPECT_EQ(w.operations().rowCount(), 2);
    }
}

TEST_F(MainWindow, EnterInADatePickerMovesToTheGrid)
{
    Frm_Main w(run.rt);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto *desde = control<QDateEdit>(w, "DtpDesde");
    desde->setFocus();
    run.data.clearCalls();
    QTest::keyClick(desde, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), control<QTableView>(w, "MsFgListaInternos"));
    EXPECT_TRUE(listStatements().isEmpty());
}

TEST_F(MainWindow, KeysWithoutADataRowDoNothing)
{
    run.data.onContains(QStringLiteral("INTERNOS"), kList, ResultSet{});
    Frm_Main w(run.rt);
    auto *grid = control<QTableView>(w, "MsFgListaInternos");
    ASSERT_EQ(w.operations().rowCount(), 0);
    run.data.clearCalls();

    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_F12}) {
        SCOPED_TRACE(int(key));
        QTest::keyClick(grid, key);
        EXPECT_TRUE(run.data.calls().isEmpty());
        EXPECT_TRUE(run.boxes.shown().isEmpty());
        EXPECT_FALSE(logHas(QStringLiteral("Operacion a procesar")));
    }
}

TEST_F(MainWindow, EscEndsTheProgramUnlessItAnsweredABox)
{
    Frm_Main w(run.rt);
    w.show();
    auto *grid = control<QTableView>(w, "MsFgListaInternos");
    QSignalSpy ended(&w, &Frm_Main::programEnded);

    // The release of an Esc whose press closed a box does not reach the window as a key of its own.
    QTest::keyRelease(grid, Qt::Key_Escape);
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(w.isVisible());

    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_EQ(ended.count(), 1);
    EXPECT_TRUE(w.hasEnded());
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(logHas(QStringLiteral("Finalizar Programa")));
}

TEST_F(MainWindow, DebugWindowShowsTheLogLinesAndTheSettings)
{
    run.rt.cfg.RUTAB2D = QStringLiteral("/srv/b2d/send");
    Frm_Main w(run.rt);
    w.show();
    Frm_DEBUG &debug = w.debugWindow();
    EXPECT_FALSE(debug.isVisible());

    run.log.EscribirLogDebug(QStringLiteral("Operacion a procesar: 19001IC04000077A"));
    QTest::keyClick(control<QTableView>(w, "MsFgListaInternos"), Qt::Key_D,
                    Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(debug.isVisible());
    auto *text = debug.findChild<QTextEdit *>(QStringLiteral("RTBDebug"));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->toPlainText(),
              QStringLiteral("05/03/2019 14:07:09 Operacion a procesar: 19001IC04000077A\n"));

    auto *grid = debug.findChild<QTableWidget *>(QStringLiteral("MSFGSDC"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("CONFIG"));
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), QStringLiteral("VALUE"));
    QMap<QString, QString> shown;
    for (int r = 0; r < grid->rowCount(); ++r)
        shown.insert(grid->item(r, 0)->text(), grid->item(r, 1)->text());
    EXPECT_EQ(shown.value(QStringLiteral("PREFIJO")), QStringLiteral("AB_"));
    EXPECT_EQ(shown.value(QStringLiteral("RUTAB2D")), QStringLiteral("/srv/b2d/send"));

    // Esc hides it, keeps its text, and leaves the main window open.
    QTest::keyClick(text, Qt::Key_Escape);
    EXPECT_FALSE(debug.isVisible());
    EXPECT_FALSE(w.hasEnded());
    run.log.EscribirLogDebug(QStringLiteral("Fin de proceso: 19001IC04000077A"));
    EXPECT_EQ(text->toPlainText().count(QLatin1Char('\n')), 2);
}

TEST_F(MainWindow, AnOperationKindThatEndsTheProgramClosesTheWindowInOrder)
{
    ResultSet list = listRows();
    list.rows[1][0] = QStringLiteral("19001XC01000012B");  // no declaration kind has the letter X
    run.data.onContains(QStringLiteral("INTERNOS"), kList, list);
    Frm_Main w(run.rt);
    w.show();
    QSignalSpy ended(&w, &Frm_Main::programEnded);
    auto *grid = control<QTableView>(w, "MsFgListaInternos");
    grid->setCurrentIndex(w.operations().index(1, 0));

    QTest::keyClick(grid, Qt::Key_Return);

    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(logHas(QStringLiteral("Finalizar Programa")));
    ASSERT_FALSE(run.boxes.messages().isEmpty());
    EXPECT_EQ(run.boxes.messages().last().icon, BoxIcon::Critical);
    // Keys after the end reach nothing.
    run.data.clearCalls();
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_TRUE(run.data.calls().isEmpty());
}
