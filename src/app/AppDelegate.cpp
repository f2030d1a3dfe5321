#include "app/AppDelegate.h"

#include "app/AppModel.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"

#include <QFileInfo>

namespace tamo {

AppDelegate::AppDelegate(AppModel &model, Defaults &defaults) : m_model(model), m_defaults(defaults)
{
}

void AppDelegate::finishLaunching()
{
    const bool welcomeClipsChecked = m_defaults.boolValue(keys::welcomeClipsChecked);
    m_model.start();
    m_model.onboarding().runSecondCopyGuard(welcomeClipsChecked);
}

bool AppDelegate::isPinboardFile(const QString &path)
{
    static const QStringList extensions{QStringLiteral("tamocove"), QStringLiteral("vostra"), QStringLiteral("tamo")};
    return extensions.contains(QFileInfo(path).suffix().toLower());
}

void AppDelegate::openFiles(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (isPinboardFile(path))
            m_waitingFiles.append(path);
    }
    if (m_importing)
        return;
    m_importing = true;
    while (!m_waitingFiles.isEmpty())
        m_model.pinboardFiles().importPinboards(m_waitingFiles.takeFirst());
    m_importing = false;
}

void AppDelegate::reopen()
{
    m_model.showPreferences();
}

void AppDelegate::launchedAgain(const QStringList &files)
{
    if (files.isEmpty())
        reopen();
    else
        openFiles(files);
}

} // namespace tamo
