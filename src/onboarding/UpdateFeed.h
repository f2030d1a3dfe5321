#pragma once

#include "app/AppHooks.h"

#include <QByteArray>

#include <QString>

#include <optional>

namespace tamo {

// The version feed: one JSON object with "version" (text), "build" (a whole
// number, signed 64-bit), "url" (an https address) and optional "notes" (text
// or null); other keys are ignored. Anything else does not decode. A download
// address of another scheme is refused, so a bad feed cannot make the
// desktop open a file, start a program or fetch a download anyone on the way
// could change.
struct FeedRelease
{
    UpdateRelease release;
    std::optional<QString> notes;
};

std::optional<FeedRelease> decodeUpdateFeed(const QByteArray &body);

} // namespace tamo
