#include "app/TamoApp.h"

#include "app/AppModel.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/KeyHintMenu.h"
#include "platform/StatusItem.h"
#include "platform/Symbols.h"

#include <QApplication>
#include <QMenu>

namespace tamo {

TamoApp::TamoApp(AppModel &model, Defaults &defaults, StatusItem &statusItem, QObject *parent)
    : QObject(parent), m_model(model), m_defaults(defaults), m_statusItem(statusItem), m_menu(std::make_unique<KeyHintMenu>())
{
    buildMenu();
    m_statusItem.setIcon(QApplication::windowIcon());
    m_statusItem.setToolTip(QStringLiteral("TamoCove"));
    m_statusItem.setMenu(m_menu.get());
    connect(&m_defaults, &Defaults::valueChanged, this, [this](const QString &key) {
        if (key == keys::showMenuBarIcon || key == keys::menuBarRecentClips)
            updateVisibility();
        else if (key == keys::hotKeyDisplay || key == keys::shortcutTarget)
            updateOpenShortcut();
    });
    updateVisibility();
}

TamoApp::~TamoApp() = default;

void TamoApp::buildMenu()
{
    // Each command runs in a turn of the event loop of its own, once the menu
    // is done: many open dialogs, whose event loops must not run inside the
    // menu's handling of a click.
    auto add = [](QMenu *menu, const QString &title, const char *symbol, auto action) {
        QAction *item = menu->addAction(symbolIcon(QLatin1String(symbol)), title);
        QObject::connect(item, &QAction::triggered, menu, action, Qt::QueuedConnection);
        return item;
    };
    QMenu *menu = m_menu.get();
    m_openAction = add(menu, QStringLiteral("Open TamoCove"), "list.clipboard", [this] { m_model.openDrawer(); });
    updateOpenShortcut();
    menu->addSeparator();

    // A KeyHintMenu, so the keys of the menu above work while it is open.
    QMenu *pinboards = new KeyHintMenu(QStringLiteral("Pinboards"), menu);
    pinboards->setIcon(symbolIcon(QStringLiteral("pin")));
    menu->addMenu(pinboards);
    add(pinboards, QStringLiteral("Export…"), "square.and.arrow.up", [this] { m_model.pinboardFiles().exportPinboards(); });
    add(pinboards, QStringLiteral("Import…"), "square.and.arrow.down", [this] { m_model.pinboardFiles().chooseImportFile(); });
    pinboards->addSeparator();
    add(pinboards, QStringLiteral("Import from Paste…"), "square.and.arrow.down.on.square",
        [this] { m_model.windows().importPasteHistory(); });

    KeyHintMenu::setKeys(add(menu, QStringLiteral("Settings…"), "gearshape", [this] { m_model.showPreferences(); }),
                         QStringLiteral("⌘,"));
    menu->addSeparator();
    add(menu, QStringLiteral("About TamoCove"), "info.circle", [this] { m_model.showAbout(); });
    add(menu, QStringLiteral("Explore Features…"), "lightbulb", [this] { m_model.onboarding().showWhatsNew(); });
    add(menu, QStringLiteral("Check for Updates…"), "arrow.down.circle", [this] { m_model.checkForUpdates(); });
    KeyHintMenu::setKeys(add(menu, QStringLiteral("Quit TamoCove"), "power", [this] { m_model.quit(); }),
                         QStringLiteral("⌘Q"));
}

void TamoApp::updateVisibility()
{
    const bool recentClipsShown = m_defaults.boolValue(keys::menuBarRecentClips) && m_model.menuBar().hasStatusItem();
    m_statusItem.setVisible(m_defaults.boolValue(keys::showMenuBarIcon) && !recentClipsShown);
}

void TamoApp::updateOpenShortcut()
{
    const bool opensMenuBar = m_defaults.string(keys::shortcutTarget) == rawValue(ShortcutTarget::menuBar);
    KeyHintMenu::setKeys(m_openAction,
                         opensMenuBar ? QString() : m_defaults.string(keys::hotKeyDisplay).value_or(QString()));
}

} // namespace tamo
