#pragma once

#include "transfer/JsonStream.h"
#include "transfer/PinboardArchive.h"

namespace tamo {

// Where reading a pinboard file hands what it reads, in the file's order.
class PinboardDocumentSink
{
public:
    virtual ~PinboardDocumentSink() = default;
    // A clip of the pinboard being read.
    virtual void clip(PinboardArchive::Clip clip) = 0;
    // The pinboard whose clips were handed out since the one before; its own
    // list of clips is empty.
    virtual void pinboard(PinboardArchive::Board board) = 0;
    virtual void app(PinboardArchive::App app) = 0;
};

// Reads a pinboard file from `stream` with the format's strict rules and
// bounds, one value at a time: no text is kept past what a clip holds, no
// count past the caps. Throws ArchiveError at the first fault (what was
// handed out before it then counts for nothing), ReadCancelled once cancelled.
// Returns the moment of the export.
QDateTime readPinboardDocument(JsonStream &stream, PinboardDocumentSink &sink);

} // namespace tamo
