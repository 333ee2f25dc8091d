#include "app/Startup.h"
#include "cli/CommandLine.h"
#include "gui/Frm_Main.h"
#include "gui/OperationsModel.h"
#include "platform/Clock.h"
#include "runtime/Runtime.h"
#include "support/ScriptedBoxes.h"

#include <QApplication>
#include <QDateEdit>
#include <QLabel>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace b2d;

namespace {

const QDate kToday(2026, 3, 10);
const QString kExport = QStringLiteral("26001EC01000039X");      // processed five days back
const QString kExportFile = QStringLiteral("DVNE_EC01_26-0405_20260305163012");
const QString kNeverProcessed = QStringLiteral("26001IC04000123A");

enum Column { Despacho = 0, ArchivoB2D = 6, Procesado = 7, Enviado = 8 };

// The window over the demo workspace's databases, started as the program starts it, on a day
// and at a time that stand still.
class DemoWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        demo = dir.filePath(QStringLiteral("demo"));
        QString out, err;
        {
            QTextStream o(&out), e(&err);
            cli::Streams io{o, e, nullptr};
            ASSERT_EQ(cli::runCommandLine({QStringLiteral("demo"), demo}, io,
                                          QStringLiteral("velmorab2d-cli"), kToday),
                      0)
                << err.toStdString();
        }
        qputenv("ProgramFiles", QFile::encodeName(demo + QStringLiteral("/ProgramFiles")));
        ShellOptions options;
        options.connectionsFile = demo + QStringLiteral("/connections.ini");
        options.settingsFile = demo + QStringLiteral("/settings.ini");
        options.logFolder = dir.filePath(QStringLiteral("Logs"));
        shell = std::make_unique<Shell>(options, boxes,
                                        std::make_unique<FixedClock>(QDateTime(kToday, QTime(9, 30))));
        shell->start();
        window = std::make_unique<Frm_Main>(shell->rt());
        grid = window->findChild<QTableView *>(QStringLiteral("MsFgListaInternos"));
        ASSERT_NE(grid, nullptr);
    }
    void TearDown() override
    {
        window.reset();
        shell.reset();
        qunsetenv("ProgramFiles");
    }

    int rowOf(const QString &number) const
    {
        for (int r = 0; r < window->operations().rowCount(); ++r)
            if (window->operations().cell(r, Despacho) == number)
                return r;
        return -1;
    }
    QString cell(const QString &number, int column) const
    {
        return window->operations().cell(rowOf(number), column);
    }
    void select(const QString &number)
    {
        ASSERT_GE(rowOf(number), 0) << number.toStdString();
        grid->setCurrentIndex(window->operations().index(rowOf(number), 0));
    }
    QStringList sendFolder() const { return QDir(demo + QStringLiteral("/send")).entryList(QDir::Files); }

    QTemporaryDir dir;
    QString demo;
    ScriptedBoxes boxes;
    std::unique_ptr<Shell> shell;
    std::unique_ptr<Frm_Main> window;
    QTableView *grid = nullptr;
};

}  // namespace

TEST_F(DemoWindow, F12SendsOnlyAGeneratedFileTheOperatorConfirms)
{
    const struct {
        const char *name;
        QString number;
        bool fileGenerated;
        bool yes;
        bool sent;
    } cases[] = {
        {"answered No", kExport, true, false, false},
        {"never processed", kNeverProcessed, true, true, false},
        {"file missing", kExport, false, true, false},
        {"answered Yes", kExport, true, true, true},
    };
    const QString generated = demo + QStringLiteral("/out/") + kExportFile + QStringLiteral(".XML");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(generated);
        if (c.fileGenerated) {
            QFile f(generated);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("<exportDeclaration/>");
        }
        select(c.number);
        boxes.clear();
        boxes.answer(c.yes);

        QTest::keyClick(grid, Qt::Key_F12);

        // The question, and when nothing could be sent a second box saying why.
        ASSERT_EQ(boxes.messages().size(), c.yes && !c.sent ? 2 : 1);
        const auto question = boxes.messages().first();
        EXPECT_EQ(question.text,
                  QStringLiteral("El archivo [archivo] \ngenerado por el proceso [proceso] ,\n"
                                 "se enviara a la carpeta para enviar a Dorvane.\nDesea continuar?"));
        EXPECT_EQ(question.buttons, BoxButtons::YesNo);
        EXPECT_EQ(cell(c.number, Enviado), c.sent ? QStringLiteral("10/03/2026") : QString());
        EXPECT_EQ(sendFolder(), c.sent ? QStringList{kExportFile + QStringLiteral(".xml")} : QStringList{});
        // The operation stays the current row after the refill.
        EXPECT_EQ(window->currentDespacho(), c.number);
    }
}

TEST_F(DemoWindow, EnterWritesTheFileAndTheRowShowsItsNameAndDate)
{
    // Both operations were generated before: their remembered answers are offered and accepted.
    const struct {
        QString number;
        const char *file;   // the new file in the output folder
        const char *shown;  // its name in the list (import prefix removed)
    } cases[] = {
        {QStringLiteral("26001IC04000098D"), "DVNI_IC04_HAWB-53001_20260310093000.XML",
         "IC04_HAWB-53001_20260310093000"},
        {kExport, "DVNE_EC01_26-0405_20260310093000.XML", "DVNE_EC01_26-0405_20260310093000"},
    };
    window->findChild<QDateEdit *>(QStringLiteral("DtpDesde"))->setDate(kToday.addDays(-30));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        select(c.number);

        QTest::keyClick(grid, Qt::Key_Return);

        EXPECT_TRUE(QFileInfo(demo + QStringLiteral("/out/") + QLatin1String(c.file)).isFile())
            << QDir(demo + QStringLiteral("/out")).entryList(QDir::Files).join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(cell(c.number, ArchivoB2D), QLatin1String(c.shown));
        EXPECT_EQ(cell(c.number, Procesado), QStringLiteral("10/03/2026"));
        EXPECT_EQ(window->currentDespacho(), c.number);
        EXPECT_FALSE(shell->rt().generacionCancelada);
    }
    for (const auto &box : boxes.messages())
        EXPECT_TRUE(box.icon != BoxIcon::Warning && box.icon != BoxIcon::Critical)
            << box.text.toStdString();
}

TEST_F(DemoWindow, AGenerationShowsItsItemWithABusyCursorAndTakesNoKeys)
{
    window->findChild<QDateEdit *>(QStringLiteral("DtpDesde"))->setDate(kToday.addDays(-30));
    select(kExport);
    auto *label = window->findChild<QLabel *>(QStringLiteral("Lbl_Progreso"));
    ASSERT_NE(label, nullptr);
    window->show();

    QStringList shown;
    int generations = 0;
    bool busyCursor = true;
    qsizetype boxesBefore = 0;
    shell->rt().onProgress = [&](int item, int items) {
        shown << label->text() + (label->isVisible() ? QString() : QStringLiteral(" (hidden)"));
        if (item == 1)
            ++generations;
        busyCursor = busyCursor && QApplication::overrideCursor()
            && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        // Enter would generate again, F12 would ask to send, F9 would open the configuration.
        boxesBefore = boxes.messages().size();
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_F12, Qt::Key_F9, Qt::Key_Escape})
            QTest::keyClick(grid, key);
        EXPECT_EQ(boxes.messages().size(), boxesBefore);
    };

    QTest::keyClick(grid, Qt::Key_Return);

    EXPECT_EQ(shown, QStringList{QStringLiteral("item 1 of 1")});
    EXPECT_EQ(generations, 1);
    EXPECT_TRUE(busyCursor);
    EXPECT_FALSE(window->hasEnded());
    EXPECT_FALSE(label->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(cell(kExport, Procesado), QStringLiteral("10/03/2026"));
    shell->rt().onProgress = nullptr;
}
