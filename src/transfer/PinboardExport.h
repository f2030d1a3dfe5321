#pragma once

#include "transfer/TransferServices.h"

namespace tamo {

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

} // namespace tamo
