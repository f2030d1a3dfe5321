#pragma once

#include "settings/FormKit.h"

namespace tamo {

class FormRow;
class PasteNoticeSample;
struct SettingsEnvironment;

// The settings that shape the whole app: starting at login, sync, how long
// history is kept, how a picked clip is pasted, sounds, the tray icon and
// support.
class GeneralPage : public SettingsForm
{
    Q_OBJECT

public:
    explicit GeneralPage(SettingsEnvironment &environment, QWidget *parent = nullptr);

private:
    void addStartup();
    void addSync();
    void addHistory();
    void addPasting();
    void addOther();
    void addSupport();
    void showPastingRows();

    SettingsEnvironment &m_env;
    FormRow *m_status = nullptr;
    FormRow *m_accessibilityNeeded = nullptr;
    FormRow *m_pasteNotice = nullptr;
    QWidget *m_sample = nullptr;
};

} // namespace tamo
