#include "FuzzProperties.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace b2d::fuzz;

// Every kept input of the fuzz targets (the seeds and the inputs that once failed) run through
// the same checks as under the fuzzer, in the ordinary build.
TEST(FuzzReplay, KeptInputsHoldTheirProperties)
{
    const QDir root(QStringLiteral(B2D_SOURCE_DIR "/fuzz"));
    int replayed = 0;
    for (const FuzzTarget &target : fuzzTargets()) {
        for (const char *folder : {"corpus", "regressions"}) {
            const QDir dir(root.filePath(QLatin1String(folder) + QLatin1Char('/')
                                         + QLatin1String(target.name)));
            for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
                QFile file(dir.filePath(name));
                ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
                SCOPED_TRACE(file.fileName().toStdString());
                EXPECT_EQ(target.check(file.readAll()).toStdString(), "");
                ++replayed;
            }
        }
    }
    EXPECT_GE(replayed, 5);
}

// The checks themselves catch what they are for.
TEST(FuzzReplay, ChecksAcceptSoundAndNameBrokenInputs)
{
    EXPECT_EQ(findFuzzTarget(QStringLiteral("nothing")), nullptr);
    const QByteArray utf16("\xFF\xFE" "A\0\x00\xD8", 6);
    EXPECT_EQ(fuzzText(utf16), QString(QLatin1Char('A')) + QChar(0xD800));
    struct Case {
        const char *target;
        QByteArray input;
    } cases[] = {
        {"text_encoding", QByteArrayLiteral("\x01<&>\r\n\xE2\x82\xAC")},
        {"text_encoding", utf16},
        {"tsql_rewriter", QByteArrayLiteral("SELECT a = 'x', b = {d '2019-01-01'}'y' FROM t")},
        {"tsql_rewriter", QByteArrayLiteral("SELECT 1 -? , 'a'?'b'")},
        {"number_date", QByteArrayLiteral("1,5")},
        {"number_date", QByteArrayLiteral("29/02/2020 10:00")},
        {"suffix_sorter", QByteArrayLiteral("B(1) A")},
        {"pe_version", QByteArrayLiteral("MZ")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.target);
        EXPECT_EQ(findFuzzTarget(QLatin1String(c.target))->check(c.input).toStdString(), "");
    }
}
