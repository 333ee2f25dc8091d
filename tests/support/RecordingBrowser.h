#pragma once

#include "platform/WebFetch.h"

#include <QStringList>

namespace b2d::test {

// The browser of the update check, recorded instead of started; `works` false plays a machine
// where no browser can be opened.
class RecordingBrowser final : public BrowserOpener {
public:
    bool openUrl(const QUrl &address) override
    {
        opened << address.toString();
        return works;
    }
    QStringList opened;
    bool works = true;
};

}  // namespace b2d::test
