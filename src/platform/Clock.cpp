#include "platform/Clock.h"

namespace b2d {

QDateTime Clock::now() const
{
    // A zone's offset only ever changes on a whole second, so the local reading taken first in a
    // second of UTC holds for the rest of it. Each thread keeps its own.
    thread_local qint64 second = -1;
    thread_local QDateTime local;
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    if (ms / 1000 != second || !local.isValid()) {
        second = ms / 1000;
        local = QDateTime::fromMSecsSinceEpoch(ms);
    }
    return local;
}

}  // namespace b2d
