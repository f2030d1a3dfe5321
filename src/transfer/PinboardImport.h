#pragma once

#include "transfer/ImportApply.h"
#include "transfer/TransferServices.h"

namespace tamo {

// Brings the pinboards of a pinboard file into the store: the user picks
// them from a list that says what each would change, then one alert reports
// what happened.
class PinboardImport
{
public:
    explicit PinboardImport(const TransferServices &services) : m_services(services) {}

    void run(const QString &path);

    // The result alert's texts.
    static QString resultMessage(int pinboards);
    static QString resultDetail(const ImportResult &result);

private:
    // A file is known by its export moment to the second.
    static QString fileKey(const QDateTime &exportedAt);
    QVariantMap importedFiles() const;

    TransferServices m_services;
};

} // namespace tamo
