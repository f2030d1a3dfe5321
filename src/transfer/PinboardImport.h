#pragma once

#include "transfer/ImportApply.h"
#include "transfer/TransferServices.h"

namespace tamo {

// Brings the pinboards of a pinboard file into the store: the file is read
// on a worker thread and compared with the store and applied a slice at a
// time on the main thread, under a progress window that can stop it; the
// user picks the pinboards from a list that says what each would change,
// then one alert reports what happened.
class PinboardImport
{
public:
    explicit PinboardImport(const TransferServices &services) : m_services(services) {}

    // False when the app began to quit meanwhile (the import then stops
    // where it is, as when stopped).
    bool run(const QString &path);

    // The result alert's texts.
    static QString resultMessage(int pinboards);
    static QString resultDetail(const ImportResult &result);

private:
    struct Planned;
    Planned readAndPlan(const QString &path, const QString &title);

    // A file is known by its export moment to the second.
    static QString fileKey(const QDateTime &exportedAt);
    QVariantMap importedFiles() const;

    TransferServices m_services;
};

} // namespace tamo
