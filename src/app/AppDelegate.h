#pragma once

#include <QStringList>

namespace tamo {

class AppModel;
class Defaults;

// The launch sequence and what the desktop hands to the running app.
class AppDelegate
{
public:
    AppDelegate(AppModel &model, Defaults &defaults);

    // Reads whether the welcome clips were checked before anything else can
    // change it, starts the core, then runs the second-copy guard's launch
    // step with that early value. (Other running copies were quit before the
    // store was claimed.)
    void finishLaunching();

    // Pinboard files are imported one after the other, in the given order;
    // other files are ignored. Files handed over while an import's dialogs
    // are open wait for it to end.
    void openFiles(const QStringList &paths);

    // The app was launched again while running.
    void reopen();

    // What a later launch handed over: its files, or none for a reopen.
    void launchedAgain(const QStringList &files);

    static bool isPinboardFile(const QString &path);

private:
    AppModel &m_model;
    Defaults &m_defaults;
    QStringList m_waitingFiles;
    bool m_importing = false;
};

} // namespace tamo
