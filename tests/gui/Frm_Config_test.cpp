#include "gui/Frm_AgregarRelacion.h"
#include "gui/Frm_Config.h"
#include "gui/Frm_Main.h"
#include "gui/OperationsModel.h"
#include "gui/ModalHelper.h"
#include "settings/Settings.h"

#include "support/DemoRun.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace b2d;
using namespace b2d::test;

namespace {

const QString kApp = QStringLiteral("VELMORAB2D");
const QString kSection = QStringLiteral("GENERAL");

template <typename T>
T *child(QWidget &w, const QString &name)
{
    T *c = w.findChild<T *>(name);
    EXPECT_NE(c, nullptr) << name.toStdString();
    return c;
}

template <typename T>
T *child(QWidget &w, const char *name)
{
    return child<T>(w, QLatin1String(name));
}

QString stored(const SettingsStore &store, const char *key)
{
    return store.get(kApp, kSection, QLatin1String(key));
}

bool hasLabel(QWidget &w, const QString &text)
{
    for (const QLabel *l : w.findChildren<QLabel *>())
        if (l->text() == text)
            return true;
    return false;
}

QStringList gridRow(QTableWidget *g, int row)
{
    QStringList cells;
    for (int c = 0; c < g->columnCount(); ++c)
        cells << (g->item(row, c) ? g->item(row, c)->text() : QString());
    return cells;
}

QList<QStringList> gridRows(QTableWidget *g)
{
    QList<QStringList> out;
    for (int r = 0; r < g->rowCount(); ++r)
        out << gridRow(g, r);
    return out;
}

int rowOf(QTableWidget *g, const QString &origin)
{
    for (int r = 0; r < g->rowCount(); ++r)
        if (g->item(r, 0) && g->item(r, 0)->text() == origin)
            return r;
    return -1;
}

}  // namespace

TEST(ConfigWindow, ShowsEveryControlWithItsCaptionAndTheSettingsAsTheProgramReadsThem)
{
    TestRun run;
    run.rt.cfg.PREFIJO = QStringLiteral("RUN_I");  // the prefixes come from the run,
    run.rt.cfg.PREFIJOEXPO = QStringLiteral("RUN_E");
    run.store.save(kApp, kSection, QStringLiteral("PREFIJO"), QStringLiteral("STORE_I"));  // not the store
    // Each key its own stored text: switches on by "1" (or, for the Boolean one, "True"), off
    // otherwise; texts read again from the store.
    const struct {
        const char *key;
        const char *stored;
        bool on;
    } switches[] = {
        {"PAISESSIM", "1", true},           {"PAISESDESCRIPCION", "2", false},
        {"CONCEPTOSSIM", " 1.0 ", true},    {"CONCEPTOSDESCRIPCION", "", false},
        {"TIPOOBLIGACION", "word", false},  {"INCLUIRDETALLEJURIS", "1", true},
        {"IGNORARRELACIONCONCEPTO", "0", false}, {"IGNORARRELACIONPAIS", "1", true},
        {"IGNORARRELACIONMONEDA", "-1", false},  {"INCLUIR900PENCARATULA", "True", true},
        {"FIXPROCESSREFERENCECODE", "1", true},  {"REQDIIMPO", "0", false},
        {"REQCANALYFECHAS", "1", true},     {"PERMITIRFECHASVACIAS", "01", true},
        {"OMITIRCODIGOALTERNATIVO", "True", false}, {"OMITIRRELACIONDJDI", "1", true},
    };
    for (const auto &s : switches)
        run.store.save(kApp, kSection, QLatin1String(s.key), QLatin1String(s.stored));
    run.store.save(kApp, kSection, QStringLiteral("PREDETERMINARHORA"), QStringLiteral("10:30:00"));
    run.store.save(kApp, kSection, QStringLiteral("RUTAB2D"), QStringLiteral("\\\\srv\\send\\"));
    run.store.save(kApp, kSection, QStringLiteral("RUTAGENXML"), QStringLiteral("C:\\B2D\\OUT\\"));

    Frm_Config w(run.rt);

    EXPECT_EQ(w.windowTitle(), QStringLiteral("Proceso Dorvane B2D  -  (Configuración)"));
    EXPECT_EQ(child<QLabel>(w, "Lbl_Version")->text(), QStringLiteral("v.") + Runtime::version());
    EXPECT_TRUE(hasLabel(w, QStringLiteral("[F11] - Guardar  [Esc] - Salir ")));
    EXPECT_TRUE(hasLabel(w, QStringLiteral("[INS] - Agregar [DEL] - Quitar")));
    // The captions of the check boxes and of the text boxes' labels.
    QStringList captions;
    int checked = 0;
    for (const QCheckBox *box : w.findChildren<QCheckBox *>()) {
        captions << box->text();
        checked += box->isChecked();
    }
    for (const QLabel *l : w.findChildren<QLabel *>())
        if (qobject_cast<QLineEdit *>(l->buddy()))
            captions << l->text();
    captions.sort();
    QStringList expected = {
        "Prefijo Dvn Imp.", "Prefijo Dvn Exp.", "Usar Codigo Pais SIM", "Incluir Descripcion",
        "Usar Codigo Concepto SIM", "Incluir Descripcion", "Incluir Tipo de Obligacion", "Incluir Detalle Jurisd.",
        "Ignorar Relacion Concepto", "Ignorar Relacion Pais", "Ignorar Relacion Moneda", "Predet. hora",
        "Incluir 900P (Ing. Br.) en caratula", "Fix ProcessReference", "Requerimiento \"DI\" en Impo",
        "Requerimiento Canal y Fechas", "Permitir enviar fechas vacias", "Omitir Codigo Alternativo",
        "Omitir Relacion DJ - DI", "Ruta B2D (FTP)", "Ruta XML "};
    expected.sort();
    EXPECT_EQ(captions, expected);
    int on = 0;
    for (const auto &s : switches)
        on += s.on;
    EXPECT_EQ(checked, on);
    EXPECT_TRUE(child<QCheckBox>(w, "Chk_PaisesSIM")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(w, "Chk_PaisesDescripcion")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(w, "Chk_Incluir900PenCaratula")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(w, "Chk_OmitirCodigoAlternativo")->isChecked());
    EXPECT_EQ(child<QLineEdit>(w, "txt_PrefijoDorvane")->text(), QStringLiteral("RUN_I"));
    EXPECT_EQ(child<QLineEdit>(w, "txt_PrefijoDorvaneExpo")->text(), QStringLiteral("RUN_E"));
    EXPECT_EQ(child<QLineEdit>(w, "txt_PredeterminarHora")->text(), QStringLiteral("10:30:00"));
    EXPECT_EQ(child<QLineEdit>(w, "Txt_RutaB2D")->text(), QStringLiteral("\\\\srv\\send\\"));
    EXPECT_EQ(child<QLineEdit>(w, "Txt_RutaGenXML")->text(), QStringLiteral("C:\\B2D\\OUT\\"));
    EXPECT_EQ(child<QCheckBox>(w, "Chk_ReqCanalyFechas")->toolTip(),
              QStringLiteral("Requiere establecer y Canal y todas las Fechas para generar el XML"));
    EXPECT_EQ(child<QCheckBox>(w, "Chk_ReqDI_Impo")->toolTip(),
              QStringLiteral("Requerimiento de archivo \"DI\" para generar XML"));

    // The three grids, their headers and widths, and their statements in order.
    const struct {
        const char *grid;
        QStringList headers;
        QList<int> twips;
    } grids[] = {
        {"MsFgRelacionConcepto", {"Relacion Origen", "Relacion Destino"}, {2500, 2500}},
        {"MsFgRelacionMoneda", {"SIM", "ISO", "Descripcion"}, {700, 700, 3000}},
        {"MsFgRelacionPais", {"SIM", "ISO", "Descripcion"}, {700, 700, 3000}},
    };
    for (const auto &g : grids) {
        SCOPED_TRACE(g.grid);
        auto *grid = child<QTableWidget>(w, g.grid);
        ASSERT_EQ(grid->columnCount(), g.headers.size());
        for (int c = 0; c < grid->columnCount(); ++c) {
            EXPECT_EQ(grid->horizontalHeaderItem(c)->text(), g.headers.at(c));
            EXPECT_EQ(grid->columnWidth(c), g.twips.at(c) / 15);
        }
        EXPECT_EQ(grid->rowCount(), 0);
    }
    EXPECT_EQ(run.data.statements(QStringLiteral("HISTORIAL")),
              (QStringList{"Select RelacionOrigen,RelacionDestino From RelacionConceptos Order By RelacionOrigen",
                           "Select IDSIM,IDISO,Descripcion From RelacionMonedas Order By IDSIM,IDISO",
                           "Select IDSIM,IDISO,Descripcion From RelacionPaises Order By IDSIM,IDISO"}));
    EXPECT_TRUE(run.boxes.shown().isEmpty());
}

TEST(ConfigWindow, EachControlShowsAndStoresItsOwnKey)
{
    // For each key alone: exactly one of the window's check boxes and text boxes shows it, and
    // saving stores it under that key and every other key empty or off. The controls are found in
    // the window, not listed here, so a control wired to the wrong key, two controls on one key or
    // a key without a control fails.
    QSet<QString> controls;
    for (const QString &key : settingKeys()) {
        SCOPED_TRACE(key.toStdString());
        TestRun run;
        const bool isSwitch = isSwitchSetting(key);
        const QString value = isSwitch ? QStringLiteral("1") : key + QStringLiteral(" value");
        if (key == QStringLiteral("PREFIJO"))
            run.rt.cfg.PREFIJO = value;  // the prefixes come from the run
        else if (key == QStringLiteral("PREFIJOEXPO"))
            run.rt.cfg.PREFIJOEXPO = value;
        else
            run.store.save(kApp, kSection, key, value);
        Frm_Config w(run.rt);
        QStringList showing;
        const QList<QCheckBox *> boxes = w.findChildren<QCheckBox *>();
        const QList<QLineEdit *> texts = w.findChildren<QLineEdit *>();
        EXPECT_EQ(boxes.size() + texts.size(), settingKeys().size());
        for (const QCheckBox *box : boxes)
            if (box->isChecked())
                showing << box->objectName();
        for (const QLineEdit *text : texts)
            if (!text->text().isEmpty()) {
                EXPECT_EQ(text->text(), value) << text->objectName().toStdString();
                showing << text->objectName();
            }
        ASSERT_EQ(showing.size(), 1) << showing.join(u' ').toStdString();
        EXPECT_EQ(showing.first().startsWith(QStringLiteral("Chk_")), isSwitch);
        EXPECT_FALSE(controls.contains(showing.first())) << showing.first().toStdString();
        controls.insert(showing.first());

        QTest::keyClick(child<QLineEdit>(w, "Txt_RutaGenXML"), Qt::Key_F11);
        for (const QString &other : settingKeys())
            EXPECT_EQ(run.store.get(kApp, kSection, other),
                      other == key ? value : (isSwitchSetting(other) ? QStringLiteral("0") : QString()))
                << other.toStdString();
    }
    EXPECT_EQ(controls.size(), settingKeys().size());
}

TEST(ConfigWindow, F11StoresAsTypedAndTheRunUsesItAtOnceWithoutAMessage)
{
    TestRun run;
    run.store.save(kApp, kSection, QStringLiteral("PAISESSIM"), QStringLiteral("1"));
    run.store.save(kApp, kSection, QStringLiteral("INCLUIR900PENCARATULA"), QStringLiteral("True"));
    CargarConfiguracion(run.rt);
    ASSERT_TRUE(run.rt.cfg.INCLUIR900PENCARATULA);
    Frm_Config w(run.rt);
    w.show();

    child<QLineEdit>(w, "txt_PrefijoDorvane")->setText(QStringLiteral(" AB_ "));
    child<QCheckBox>(w, "Chk_PaisesSIM")->setChecked(false);
    child<QCheckBox>(w, "Chk_OmitirRelacionDJDI")->setChecked(true);
    QTest::keyClick(child<QCheckBox>(w, "Chk_PaisesSIM"), Qt::Key_F11);

    EXPECT_EQ(stored(run.store, "PREFIJO"), QStringLiteral(" AB_ "));
    EXPECT_EQ(stored(run.store, "PAISESSIM"), QStringLiteral("0"));
    EXPECT_EQ(stored(run.store, "OMITIRRELACIONDJDI"), QStringLiteral("1"));
    // A setting in effect stays in effect when the window saves it again.
    EXPECT_EQ(stored(run.store, "INCLUIR900PENCARATULA"), QStringLiteral("1"));
    EXPECT_EQ(run.rt.cfg.PREFIJO, QStringLiteral(" AB_ "));
    EXPECT_FALSE(run.rt.cfg.PAISESSIM);
    EXPECT_TRUE(run.rt.cfg.OMITIRRELACIONDJDI);
    EXPECT_TRUE(run.rt.cfg.INCLUIR900PENCARATULA);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(run.boxes.shown().isEmpty());
}

TEST(ConfigWindow, EscClosesWithoutSavingOnlyWhenPressedHere)
{
    TestRun run;
    Frm_Config w(run.rt);
    w.show();
    auto *prefijo = child<QLineEdit>(w, "txt_PrefijoDorvane");
    prefijo->setText(QStringLiteral("LOST"));

    // The release of an Esc pressed in another window (a closed dialog, a box) is not this window's.
    QTest::keyRelease(prefijo, Qt::Key_Escape);
    EXPECT_TRUE(w.isVisible());
    QTest::keyClick(prefijo, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_TRUE(run.store.keys(kApp, kSection).isEmpty());
    EXPECT_TRUE(run.rt.cfg.PREFIJO.isEmpty());
}

TEST(ConfigWindow, ARefusedGridStatementNamesItsLoaderAndForm)
{
    TestRun run;
    run.data.failOn(QStringLiteral("HISTORIAL"), QStringLiteral("From RelacionMonedas"),
                    QStringLiteral("no such table: RelacionMonedas"));
    Frm_Config w(run.rt);
    ASSERT_EQ(run.boxes.messages().size(), 1);
    EXPECT_EQ(run.boxes.messages().first().text,
              QStringLiteral("Error -2147217900 (no such table: RelacionMonedas)\nin procedure "
                             "CargarGrillaRelacionMoneda of Formulario Frm_Config - "));
    EXPECT_EQ(run.boxes.messages().first().icon, BoxIcon::Warning);
}

TEST(ConfigWindow, DelWithoutADataRowDoesNothing)
{
    TestRun run;
    Frm_Config w(run.rt);
    w.show();
    run.data.clearCalls();
    for (const char *name : {"MsFgRelacionConcepto", "MsFgRelacionMoneda", "MsFgRelacionPais"}) {
        SCOPED_TRACE(name);
        QTest::keyClick(child<QTableWidget>(w, name), Qt::Key_Delete);
    }
    for (const char *name : {"Cmd_DelRelacionConcepto", "Cmd_DelRelacionMoneda", "Cmd_DelRelacionPais"})
        QTest::mouseClick(child<QPushButton>(w, name), Qt::LeftButton);
    EXPECT_TRUE(run.boxes.shown().isEmpty());
    EXPECT_TRUE(run.data.calls().isEmpty());
}

TEST(ConfigWindow, DelReloadsOnlyAfterADeletionAndShowsARefusal)
{
    TestRun run;
    const QString select =
        QStringLiteral("Select RelacionOrigen,RelacionDestino From RelacionConceptos Order By RelacionOrigen");
    run.data.onExact(QStringLiteral("HISTORIAL"), select,
                     rows({QStringLiteral("RelacionOrigen"), QStringLiteral("RelacionDestino")},
                          {{QStringLiteral("010"), QStringLiteral("DIE")}}));
    run.data.failOn(QStringLiteral("HISTORIAL"), QStringLiteral("Delete from RelacionConceptos"),
                    QStringLiteral("database is locked"));
    Frm_Config w(run.rt);
    w.show();
    auto *grid = child<QTableWidget>(w, "MsFgRelacionConcepto");
    grid->setCurrentCell(0, 0);
    auto selects = [&] { return run.data.statements(QStringLiteral("HISTORIAL")).count(select); };
    ASSERT_EQ(selects(), 1);

    run.boxes.answer(false);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(selects(), 1);

    run.boxes.answer(true);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(selects(), 1);
    ASSERT_EQ(run.boxes.texts(),
              (QStringList{"Desea quitar la relacion de Concepto (010 -> DIE)",
                           "Desea quitar la relacion de Concepto (010 -> DIE)", "database is locked"}));
    EXPECT_EQ(run.data.statements(QStringLiteral("HISTORIAL")).last(),
              QStringLiteral("Delete from RelacionConceptos where RelacionOrigen = '010' AND RelacionDestino = 'DIE'"));

    // The database takes the delete now: the grid is read again.
    run.data.onContains(QStringLiteral("HISTORIAL"), QStringLiteral("Delete from RelacionConceptos"), ResultSet{});
    run.boxes.answer(true);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(selects(), 2);
}

// ---- On the demo databases ---------------------------------------------------------------------

TEST(ConfigWindowDemo, InsAddsARelationThroughItsDialogAndTheGridShowsIt)
{
    DemoRun demo;
    Frm_Config w(demo.rt);
    w.show();
    auto *grid = child<QTableWidget>(w, "MsFgRelacionConcepto");
    ASSERT_EQ(rowOf(grid, QStringLiteral("O'Neil")), -1);

    bool seen = false;
    whenModal<Frm_AgregarRelacionConcepto>([&](Frm_AgregarRelacionConcepto *d) {
        seen = true;
        EXPECT_EQ(d->objectName(), QStringLiteral("Frm_AgregarRelacionConcepto"));
        QTest::keyClicks(child<QLineEdit>(*d, "txt_ConceptoOrigen"), QStringLiteral("O'Neil"));
        QTest::keyClicks(child<QLineEdit>(*d, "Txt_ConceptoDestino"), QStringLiteral("ONEIL"));
        QTest::keyClick(child<QLineEdit>(*d, "Txt_ConceptoDestino"), Qt::Key_F11);
    });
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Insert);

    EXPECT_TRUE(seen);
    EXPECT_EQ(QApplication::activeModalWidget(), &w);
    const int row = rowOf(grid, QStringLiteral("O'Neil"));
    ASSERT_GE(row, 0);
    EXPECT_EQ(gridRow(grid, row), (QStringList{"O'Neil", "ONEIL"}));
    EXPECT_EQ(demo.read(QStringLiteral("HISTORIAL"),
                        QStringLiteral("Select RelacionDestino From RelacionConceptos Where RelacionOrigen = 'O''Neil'")),
              (QList<QStringList>{{"ONEIL"}}));
    EXPECT_TRUE(demo.boxes.shown().isEmpty());

    // The button does the same, here for a currency: SIM and ISO only, no description.
    whenModal<Frm_AgregarRelacionMoneda>([&](Frm_AgregarRelacionMoneda *d) {
        d->origen()->setText(QStringLiteral("X'1"));
        d->destino()->setText(QStringLiteral("XXA"));
        QTest::keyClick(d->destino(), Qt::Key_F11);
    });
    QTest::mouseClick(child<QPushButton>(w, "Cmd_InsRelacionMoneda"), Qt::LeftButton);
    auto *monedas = child<QTableWidget>(w, "MsFgRelacionMoneda");
    ASSERT_GE(rowOf(monedas, QStringLiteral("X'1")), 0);
    EXPECT_EQ(gridRow(monedas, rowOf(monedas, QStringLiteral("X'1"))), (QStringList{"X'1", "XXA", ""}));
}

TEST(ConfigWindowDemo, EscInAnAddDialogClosesOnlyTheDialog)
{
    DemoRun demo;
    Frm_Config w(demo.rt);
    w.show();
    auto *grid = child<QTableWidget>(w, "MsFgRelacionPais");
    const QList<QStringList> before = gridRows(grid);
    child<QLineEdit>(w, "txt_PrefijoDorvane")->setText(QStringLiteral("KEPT"));

    whenModal<Frm_AgregarRelacionPais>([&](Frm_AgregarRelacionPais *d) {
        EXPECT_NE(child<QLineEdit>(*d, "txt_PaisOrigen"), nullptr);
        EXPECT_NE(child<QLineEdit>(*d, "Txt_PaisDestino"), nullptr);
        d->origen()->setText(QStringLiteral("999"));
        QTest::keyPress(d->origen(), Qt::Key_Escape);
    });
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Insert);
    // The Esc's release reaches the configuration window, which did not see its press.
    QTest::keyRelease(grid, Qt::Key_Escape);

    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(child<QLineEdit>(w, "txt_PrefijoDorvane")->text(), QStringLiteral("KEPT"));
    EXPECT_EQ(gridRows(grid), before);
    EXPECT_TRUE(demo.boxes.shown().isEmpty());
}

TEST(ConfigWindowDemo, ARefusedInsertShowsTheDatabasesTextAndKeepsTheDialogOpen)
{
    DemoRun demo;
    demo.exec(QStringLiteral("HISTORIAL"),
              QStringLiteral("CREATE UNIQUE INDEX RelacionMonedas_Par ON RelacionMonedas (IDSIM, IDISO)"));
    Frm_Config w(demo.rt);
    w.show();
    auto *grid = child<QTableWidget>(w, "MsFgRelacionMoneda");
    ASSERT_GT(grid->rowCount(), 0);
    const QList<QStringList> before = gridRows(grid);

    bool stayedOpen = false;
    whenModal<Frm_AgregarRelacionMoneda>([&](Frm_AgregarRelacionMoneda *d) {
        d->origen()->setText(before.first().at(0));
        d->destino()->setText(before.first().at(1));
        QTest::keyClick(d->destino(), Qt::Key_F11);
        stayedOpen = d->isVisible();
        QTest::keyClick(d->destino(), Qt::Key_Escape);
    });
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Insert);

    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(demo.boxes.messages().size(), 1);
    EXPECT_TRUE(demo.boxes.messages().first().text.startsWith(QLatin1String("UNIQUE constraint failed")))
        << demo.boxes.messages().first().text.toStdString();
    EXPECT_EQ(gridRows(grid), before);
    EXPECT_TRUE(w.isVisible());
}

TEST(ConfigWindowDemo, DelAsksAndRemovesEveryRowOfThePairOnlyOnYes)
{
    DemoRun demo;
    for (int i = 0; i < 2; ++i)
        demo.exec(QStringLiteral("HISTORIAL"),
                  QStringLiteral("Insert into RelacionPaises(IDSIM,IDISO,Descripcion) Values ('O''Higgins','CL','Chile')"));
    Frm_Config w(demo.rt);
    w.show();
    auto *grid = child<QTableWidget>(w, "MsFgRelacionPais");
    const int rows = grid->rowCount();
    const int row = rowOf(grid, QStringLiteral("O'Higgins"));
    ASSERT_GE(row, 0);
    EXPECT_EQ(gridRow(grid, row), (QStringList{"O'Higgins", "CL", "Chile"}));

    grid->setCurrentCell(row, 1);
    demo.boxes.answer(false);
    QTest::keyClick(grid, Qt::Key_Delete);
    ASSERT_EQ(demo.boxes.messages().size(), 1);
    const auto question = demo.boxes.messages().first();
    EXPECT_EQ(question.text, QStringLiteral("Desea quitar la relacion de Pais (O'Higgins -> CL)"));
    EXPECT_EQ(question.buttons, BoxButtons::YesNo);
    EXPECT_EQ(question.icon, BoxIcon::Warning);
    EXPECT_EQ(grid->rowCount(), rows);

    demo.boxes.answer(true);
    QTest::mouseClick(child<QPushButton>(w, "Cmd_DelRelacionPais"), Qt::LeftButton);
    EXPECT_EQ(demo.boxes.messages().size(), 2);
    EXPECT_EQ(grid->rowCount(), rows - 2);
    EXPECT_EQ(rowOf(grid, QStringLiteral("O'Higgins")), -1);
    EXPECT_TRUE(demo.read(QStringLiteral("HISTORIAL"),
                          QStringLiteral("Select IDISO From RelacionPaises Where IDSIM = 'O''Higgins'"))
                    .isEmpty());
}

TEST(ConfigWindowDemo, F9OpensTheWindowAndTheNextGenerationUsesWhatF11Stored)
{
    DemoRun demo;
    const QString out = demo.dir.filePath(QStringLiteral("out")) + QLatin1Char('/');
    QDir().mkpath(out);
    demo.store.save(kApp, kSection, QStringLiteral("PREFIJO"), QStringLiteral("DVNI"));
    demo.store.save(kApp, kSection, QStringLiteral("RUTAGENXML"), out);
    demo.store.save(kApp, kSection, QStringLiteral("RUTAB2D"), out);
    demo.store.save(kApp, kSection, QStringLiteral("PAISESSIM"), QStringLiteral("1"));
    CargarConfiguracion(demo.rt);
    Frm_Main main(demo.rt);
    main.show();
    auto *list = child<QTableView>(main, "MsFgListaInternos");

    bool shown = false;
    whenModal<Frm_Config>([&](Frm_Config *w) {
        shown = true;
        EXPECT_EQ(child<QLineEdit>(*w, "txt_PrefijoDorvane")->text(), QStringLiteral("DVNI"));
        EXPECT_EQ(child<QLineEdit>(*w, "Txt_RutaGenXML")->text(), out);
        EXPECT_TRUE(child<QCheckBox>(*w, "Chk_PaisesSIM")->isChecked());
        EXPECT_FALSE(child<QCheckBox>(*w, "Chk_ReqDI_Impo")->isChecked());
        auto *prefijo = child<QLineEdit>(*w, "txt_PrefijoDorvane");
        prefijo->setText(QStringLiteral("ZZI"));
        QTest::keyClick(prefijo, Qt::Key_F11);
        QTest::keyClick(prefijo, Qt::Key_Escape);
    });
    QTest::keyClick(list, Qt::Key_F9);
    ASSERT_TRUE(shown);
    EXPECT_FALSE(main.hasEnded());
    EXPECT_EQ(demo.store.get(kApp, kSection, QStringLiteral("PREFIJO")), QStringLiteral("ZZI"));

    // The next generation of the same run names its file with the stored prefix.
    main.findChild<QDateEdit *>(QStringLiteral("DtpDesde"))->setDate(QDate(2026, 2, 1));
    int row = -1;
    for (int r = 0; r < main.operations().rowCount(); ++r)
        if (main.operations().cell(r, 0) == QStringLiteral("26001IC04000098D"))
            row = r;
    ASSERT_GE(row, 0);
    list->setCurrentIndex(main.operations().index(row, 0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_TRUE(QFileInfo::exists(out + QStringLiteral("ZZI_IC04_HAWB-53001_20260310093000.XML")))
        << QDir(out).entryList(QDir::Files).join(QLatin1Char(' ')).toStdString();
}
