#include "platform/IniSettingsStore.h"

#include "runtime/Errors.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace b2d;

namespace {

const QString kApp = QStringLiteral("VELMORAB2D");
const QString kGeneral = QStringLiteral("GENERAL");

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray kHandWritten =
    "; written by hand in the office\r\n"
    "[GENERAL]\r\n"
    "PREFIJO=DVN\r\n"
    "CLIENTE=P\xC3\xA9rez, Juan\r\n"
    "RUTAGENXML=C:\\B2D\\OUT\\\r\n"
    "  RUTAB2D = \\\\server\\share\\b2d\\   \r\n"
    "PADDED=\"  two blanks  \"\r\n"
    "NOTE=a=b ; not a comment\r\n"
    "EMPTY=\r\n"
    "prefijo=second one is ignored\r\n"
    "\r\n"
    "[OTHER]\r\n"
    "PREFIJO=other section\r\n";

TEST(IniSettingsStore, HandsBackExactlyTheTextOfAHandWrittenFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b2d.ini"));
    writeBytes(path, kHandWritten);
    const auto store = IniSettingsStore::singleFile(path);

    const struct {
        const char *section;
        const char *key;
        QString expected;
    } cases[] = {
        {"GENERAL", "PREFIJO", QStringLiteral("DVN")},
        {"general", "prefijo", QStringLiteral("DVN")},
        {"GENERAL", "CLIENTE", QStringLiteral("Pérez, Juan")},
        {"GENERAL", "RUTAGENXML", QStringLiteral("C:\\B2D\\OUT\\")},
        {"GENERAL", "RUTAB2D", QStringLiteral("\\\\server\\share\\b2d\\")},
        {"GENERAL", "PADDED", QStringLiteral("  two blanks  ")},
        {"GENERAL", "NOTE", QStringLiteral("a=b ; not a comment")},
        {"GENERAL", "EMPTY", QString()},
        {"GENERAL", "MISSING", QString()},
        {"OTHER", "PREFIJO", QStringLiteral("other section")},
        {"NOSUCH", "PREFIJO", QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(store->get(kApp, QLatin1String(c.section), QLatin1String(c.key)), c.expected);
    }
    EXPECT_EQ(store->keys(kApp, kGeneral),
              QStringList({QStringLiteral("PREFIJO"), QStringLiteral("CLIENTE"),
                           QStringLiteral("RUTAGENXML"), QStringLiteral("RUTAB2D"),
                           QStringLiteral("PADDED"), QStringLiteral("NOTE"), QStringLiteral("EMPTY")}));
}

TEST(IniSettingsStore, ReadsAFileInTheOfficesOldEncoding)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b2d.ini"));
    writeBytes(path, "[GENERAL]\nCLIENTE=P\xE9rez, Juan\n");
    EXPECT_EQ(IniSettingsStore::singleFile(path)->get(kApp, kGeneral, QStringLiteral("CLIENTE")),
              QStringLiteral("Pérez, Juan"));
}

TEST(IniSettingsStore, SaveChangesOneLineAndKeepsTheRest)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b2d.ini"));
    writeBytes(path, kHandWritten);
    const auto store = IniSettingsStore::singleFile(path);

    store->save(kApp, kGeneral, QStringLiteral("prefijo"), QStringLiteral("NEW"));
    QByteArray expected = kHandWritten;
    expected.replace("PREFIJO=DVN", "PREFIJO=NEW");
    EXPECT_EQ(test::readFile(path), expected);

    // A new key joins its section; a new section goes at the end.
    store->save(kApp, kGeneral, QStringLiteral("PREFIJOEXPO"), QStringLiteral("DVE"));
    store->save(kApp, QStringLiteral("THIRD"), QStringLiteral("K"), QStringLiteral("v"));
    expected.replace("prefijo=second one is ignored\r\n",
                     "prefijo=second one is ignored\r\nPREFIJOEXPO=DVE\r\n");
    expected += "\r\n[THIRD]\r\nK=v\r\n";
    EXPECT_EQ(test::readFile(path), expected);
    EXPECT_EQ(store->get(kApp, QStringLiteral("OTHER"), QStringLiteral("PREFIJO")),
              QStringLiteral("other section"));
}

TEST(IniSettingsStore, SavedValuesComeBackUnchanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/folder/new.ini"));
    const QString values[] = {
        QStringLiteral("Pérez, Juan"),  QStringLiteral("C:\\B2D\\OUT\\"), QStringLiteral("  lead"),
        QStringLiteral("trail "),       QStringLiteral("\"quoted\""),     QStringLiteral("\""),
        QStringLiteral("a=b;c # d"),    QStringLiteral("[GENERAL]"),      QString(),
        QStringLiteral("1,2,3"),        QStringLiteral("€ and ñ"),
    };
    int n = 0;
    for (const QString &v : values) {
        SCOPED_TRACE(v.toStdString());
        const QString key = QStringLiteral("K%1").arg(n++);
        IniSettingsStore::singleFile(path)->save(kApp, kGeneral, key, v);
        EXPECT_EQ(IniSettingsStore::singleFile(path)->get(kApp, kGeneral, key), v);
    }
    EXPECT_EQ(IniSettingsStore::singleFile(path)->keys(kApp, kGeneral).size(), n);
    EXPECT_TRUE(test::readFile(path).startsWith("[GENERAL]\n"));
}

TEST(IniSettingsStore, AFileThatCannotBeWrittenIsReported)
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("file"));
    writeBytes(blocker, "x");
    const auto store = IniSettingsStore::singleFile(blocker + QStringLiteral("/b2d.ini"));
    EXPECT_EQ(store->get(kApp, kGeneral, QStringLiteral("PREFIJO")), QString());
    try {
        store->save(kApp, kGeneral, QStringLiteral("PREFIJO"), QStringLiteral("X"));
        FAIL() << "no error";
    } catch (const B2DError &e) {
        EXPECT_TRUE(e.description().contains(blocker)) << e.description().toStdString();
    }
}

TEST(IniSettingsStore, PerUserStoreKeepsOneFilePerApplication)
{
    QTemporaryDir dir;
    const auto store = IniSettingsStore::perApplication(dir.path());
    store->save(kApp, kGeneral, QStringLiteral("PREFIJO"), QStringLiteral("A"));
    store->save(QStringLiteral("OTRA"), kGeneral, QStringLiteral("PREFIJO"), QStringLiteral("B"));
    EXPECT_EQ(store->fileFor(kApp), dir.filePath(QStringLiteral("VELMORAB2D.ini")));
    EXPECT_EQ(store->get(kApp, kGeneral, QStringLiteral("PREFIJO")), QStringLiteral("A"));
    EXPECT_EQ(store->get(QStringLiteral("OTRA"), kGeneral, QStringLiteral("PREFIJO")), QStringLiteral("B"));

    const QString given = dir.filePath(QStringLiteral("given.ini"));
    openSettingsStore(given)->save(kApp, kGeneral, QStringLiteral("PREFIJO"), QStringLiteral("C"));
    EXPECT_EQ(test::readFile(given), QByteArray("[GENERAL]\nPREFIJO=C\n"));
}

}  // namespace
