#include "transfer/PinboardFiles.h"

#include "app/AppIcons.h"
#include "app/AppModel.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/SourceApp.h"
#include "transfer/PinboardExport.h"
#include "transfer/PinboardImport.h"

namespace tamo {

PinboardFiles::PinboardFiles(Defaults &defaults, Alerts &alerts, FilePanels &panels, PinboardPicker &picker,
                             ImportProgress &progress, const Clock &clock)
    : m_defaults(defaults), m_alerts(alerts), m_panels(panels), m_picker(picker), m_progress(progress), m_clock(clock)
{
}

void PinboardFiles::attach(AppModel &model)
{
    m_services.emplace(TransferServices{model, m_defaults, m_alerts, m_panels, m_picker, m_progress, m_clock});
}

bool PinboardFiles::exportPinboards()
{
    return m_services && PinboardExport(*m_services).run();
}

void PinboardFiles::chooseImportFile()
{
    if (!m_services)
        return;
    m_services->model.drawer().hide(false);
    if (const auto path = m_panels.chooseOpenFile(pinboardFileType()))
        importPinboards(*path);
}

void PinboardFiles::importPinboards(const QString &path)
{
    if (!m_services || m_quitting)
        return;
    m_waiting.append(path);
    // The import runs the event loop, in which more files may come.
    if (m_importing)
        return;
    m_importing = true;
    while (!m_waiting.isEmpty() && !m_quitting)
        m_quitting = !PinboardImport(*m_services).run(m_waiting.takeFirst());
    m_importing = false;
}

void PinboardFiles::seedIconsFromSourceApps()
{
    if (!m_services)
        return;
    AppModel &model = m_services->model;
    for (const SourceAppPtr &app : model.container().mainContext().fetch<SourceApp>())
        model.icons().seedAppIconCache(app->bundleID(), app->iconData(), app->tintHex());
}

} // namespace tamo
