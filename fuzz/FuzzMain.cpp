// A libFuzzer entry point: runs the check of the target named at build time on every input and
// stops on the first property that does not hold (a crash is reported by libFuzzer itself).

#include "FuzzProperties.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const b2d::fuzz::FuzzTarget *target =
        b2d::fuzz::findFuzzTarget(QStringLiteral(B2D_FUZZ_TARGET));
    if (!target)
        std::abort();
    const QString failure =
        target->check(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", target->name, failure.toUtf8().constData());
        std::abort();
    }
    return 0;
}
