#pragma once

#include "platform/EventPoster.h"

namespace tamo::testing {

// Counts what was asked of it; a restore succeeds at once unless told not to.
class FakeEventPoster final : public EventPoster
{
public:
    void rememberFrontWindow() override { ++rememberCount; }
    void restoreFrontWindow() override
    {
        ++restoreCount;
        emit frontWindowRestored(restoreSucceeds);
    }
    void postPaste() override
    {
        ++pasteCount;
        restoreFrontWindow();
    }

    void postNewTab() override { ++newTabCount; }

    bool restoreSucceeds = true;
    int newTabCount = 0;
    int rememberCount = 0;
    int restoreCount = 0;
    int pasteCount = 0;
};

} // namespace tamo::testing
