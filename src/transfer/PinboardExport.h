#pragma once

#include "transfer/TransferServices.h"

#include <QString>

namespace tamo {

struct PinboardArchive;

// Saves chosen pinboards with their clips and app icons to a pinboard file.
class PinboardExport
{
public:
    explicit PinboardExport(const TransferServices &services) : m_services(services) {}

    // True only when a file was written.
    bool run();

private:
    TransferServices m_services;
};

// Encodes the archive and writes it durably on a worker thread while the
// event loop goes on, so copies are captured and windows answer meanwhile;
// returns once the file is written, with the error text (empty on success).
QString writeArchiveInBackground(const QString &path, const PinboardArchive &archive);

} // namespace tamo
