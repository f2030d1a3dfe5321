#pragma once

namespace tamo {

class AppChooser;
class AppModel;
class Alerts;
class Defaults;
class LoginItem;
class Relauncher;
class Screens;

// What the settings pages work with, besides what the model offers.
struct SettingsEnvironment
{
    AppModel &model;
    Defaults &defaults;
    Alerts &alerts;
    LoginItem &loginItem;
    Relauncher &relauncher;
    AppChooser &appChooser;
    const Screens &screens;
};

} // namespace tamo
