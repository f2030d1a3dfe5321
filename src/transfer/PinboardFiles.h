#pragma once

#include "app/AppHooks.h"
#include "transfer/TransferServices.h"

#include <optional>

namespace tamo {

// The app's pinboard-file commands. Made before the model, which calls
// seedIconsFromSourceApps at start; attach() hands it the model. Files to
// import wait while one is imported, and are taken one after the other.
class PinboardFiles final : public PinboardFileService
{
public:
    PinboardFiles(Defaults &defaults, Alerts &alerts, FilePanels &panels, PinboardPicker &picker,
                  ImportProgress &progress, const Clock &clock);

    void attach(AppModel &model);

    bool exportPinboards() override;
    void chooseImportFile() override;
    void importPinboards(const QString &path) override;
    // Gives apps not installed here the icons and colours other machines stored.
    void seedIconsFromSourceApps() override;

private:
    Defaults &m_defaults;
    Alerts &m_alerts;
    FilePanels &m_panels;
    PinboardPicker &m_picker;
    ImportProgress &m_progress;
    const Clock &m_clock;
    std::optional<TransferServices> m_services;
    QStringList m_waiting;
    bool m_importing = false;
    bool m_quitting = false;
};

} // namespace tamo
