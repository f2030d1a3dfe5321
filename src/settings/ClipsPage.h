#pragma once

#include "model/ClipItem.h"
#include "settings/FormKit.h"

#include <memory>

namespace tamo {

class PopUpPicker;
class ThumbnailCache;
struct SettingsEnvironment;

// How cards look (per screen), the menu-bar panel, link previews, copying
// new screenshots and press-and-hold preview.
class ClipsPage : public SettingsForm
{
    Q_OBJECT

public:
    explicit ClipsPage(SettingsEnvironment &environment, QWidget *parent = nullptr);
    ~ClipsPage() override;

private:
    void addCards();
    void addMenuBar();
    void addClips();
    // The screens as remembered; the main one's sizes become current first.
    void loadScreens(bool activateMain);

    SettingsEnvironment &m_env;
    std::unique_ptr<ThumbnailCache> m_thumbnails;
    ClipItemPtr m_sample;
    FormRow *m_screenRow = nullptr;
    PopUpPicker *m_screenPicker = nullptr;
};

} // namespace tamo
