#pragma once

#include "platform/WebFetch.h"

namespace b2d {

// Opens an address with the desktop's handler for its scheme (the browser for http and https),
// as an address: nothing goes through a command line.
class QtBrowserOpener final : public BrowserOpener {
public:
    bool openUrl(const QUrl &address) override;
};

}  // namespace b2d
