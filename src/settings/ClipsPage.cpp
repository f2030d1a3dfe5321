#include "settings/ClipsPage.h"

#include "app/AppModel.h"
#include "app/ScreenshotWatcher.h"
#include "cards/CardContext.h"
#include "cards/ScreenCardSizes.h"
#include "cards/ThumbnailCache.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/Screens.h"
#include "settings/CardStyleOption.h"
#include "settings/DefaultsBindings.h"
#include "settings/Pickers.h"
#include "settings/ScaleControl.h"
#include "settings/SettingsEnvironment.h"
#include "settings/SwitchToggle.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tamo {

namespace {

constexpr double styleOptionScale = 0.5;

QStringList connectedIDs(const Screens &screens)
{
    QStringList ids;
    for (const ScreenInfo &screen : screens.screens())
        ids.append(ScreenCardSizes::screenID(screen));
    return ids;
}

bool panelOptionsApply(const Defaults &defaults)
{
    return defaults.boolValue(keys::showMenuBarIcon) && defaults.boolValue(keys::menuBarRecentClips);
}

bool isHorizontal(const Defaults &defaults)
{
    return defaults.string(keys::menuBarLayout) == rawValue(MenuBarLayout::horizontal);
}

} // namespace

ClipsPage::ClipsPage(SettingsEnvironment &environment, QWidget *parent)
    : SettingsForm(parent)
    , m_env(environment)
    , m_thumbnails(std::make_unique<ThumbnailCache>())
    , m_sample(CardStyleOption::sampleClip(environment.model.clock()))
{
    addCards();
    addMenuBar();
    addClips();
    loadScreens(true);
    connect(&m_env.screens, &Screens::screensChanged, this, [this] { loadScreens(false); });
}

ClipsPage::~ClipsPage() = default;

void ClipsPage::addCards()
{
    Defaults &defaults = m_env.defaults;
    FormSection *section = addSection(QStringLiteral("Cards"));

    auto *styles = new QWidget;
    auto *column = new QVBoxLayout(styles);
    column->setContentsMargins(0, 4, 0, 4);
    column->setSpacing(12);
    column->addWidget(formLabel(QStringLiteral("Card Style"), 13));
    auto *options = new QHBoxLayout;
    options->setSpacing(24);
    options->addStretch(1);
    const CardContext cards{m_env.model.icons(), *m_thumbnails, defaults, m_env.model.clock(), nullptr};
    auto *group = new QButtonGroup(styles);
    for (const CardStyle style : {CardStyle::classic, CardStyle::glass}) {
        auto *option = new CardStyleOption(style, m_sample, cards, styleOptionScale, styles);
        group->addButton(option);
        options->addWidget(option);
        option->bindToSetting(defaults);
    }
    options->addStretch(1);
    column->addLayout(options);
    section->addWidget(styles);

    m_screenPicker = new PopUpPicker({});
    m_screenRow = section->addRow(QStringLiteral("Screen"), {}, m_screenPicker);
    connect(m_screenPicker, &PopUpPicker::picked, this,
            [&defaults](const QVariant &id) { ScreenCardSizes::activate(defaults, id.toString()); });
    followKeys(m_screenPicker, defaults, {keys::screenCardSizesActive}, [this, &defaults] {
        m_screenPicker->setCurrentValue(defaults.string(keys::screenCardSizesActive).value_or(QString()));
    });

    section->addRow(QStringLiteral("Card Size"), {}, makeCardSizeControl(defaults), FormRow::Layout::below);
    section->addRow(QStringLiteral("Font Size"),
                    QStringLiteral("The copied text on the cards, in the TamoCove panel and the tray."),
                    makeFontSizeControl(defaults, m_sample->text().value_or(QString())), FormRow::Layout::below);
}

void ClipsPage::loadScreens(bool activateMain)
{
    Defaults &defaults = m_env.defaults;
    const std::optional<ScreenInfo> main = m_env.screens.screenUnderPointer();
    if (activateMain && main) {
        ScreenCardSizes::remember(defaults, {*main});
        ScreenCardSizes::activate(defaults, ScreenCardSizes::screenID(*main));
    } else if (!activateMain) {
        ScreenCardSizes::remember(defaults, m_env.screens.screens());
    }
    const QList<ScreenCardSizes::Screen> screens = ScreenCardSizes::screens(defaults, connectedIDs(m_env.screens));
    m_screenPicker->clear();
    QString here;
    for (const ScreenCardSizes::Screen &screen : screens) {
        m_screenPicker->addItem(screen.label(), screen.id);
        if (main && screen.id == ScreenCardSizes::screenID(*main))
            here = QStringLiteral(" You're on %1.").arg(screen.label());
    }
    m_screenPicker->setCurrentValue(defaults.string(keys::screenCardSizesActive).value_or(QString()));
    m_screenRow->setDescription(QStringLiteral("Card Size and Font Size are saved for each screen and resolution, "
                                               "and used when TamoCove opens there.")
                                + here);
}

void ClipsPage::addMenuBar()
{
    Defaults &defaults = m_env.defaults;
    FormSection *section = addSection(QStringLiteral("Tray"));
    FormRow *recent = section->addRow(QStringLiteral("Recent Clips in the Tray"), {},
                                      boundSwitch(defaults, keys::menuBarRecentClips));
    auto *layout = new SegmentedPicker({{QStringLiteral("Vertical"), rawValue(MenuBarLayout::vertical)},
                                        {QStringLiteral("Horizontal"), rawValue(MenuBarLayout::horizontal)}});
    FormRow *layoutRow = section->addRow(QStringLiteral("Layout"), {}, layout);
    connect(layout, &SegmentedPicker::picked, this,
            [&defaults](const QVariant &value) { defaults.setValue(keys::menuBarLayout, value.toString()); });
    QList<Choice> sizes{{QStringLiteral("Default"), 0}};
    for (const int cards : {6, 8, 10})
        sizes.append({QStringLiteral("%1 Cards").arg(cards), cards});
    auto *panelSize = new PopUpPicker(sizes);
    FormRow *sizeRow = section->addRow(QStringLiteral("Panel Size"), {}, panelSize);
    connect(panelSize, &PopUpPicker::picked, this,
            [&defaults](const QVariant &value) { defaults.setValue(keys::menuBarVisibleCards, value.toInt()); });

    followKeys(this, defaults,
               {keys::showMenuBarIcon, keys::menuBarRecentClips, keys::menuBarLayout, keys::menuBarVisibleCards},
               [=, &defaults] {
                   const bool icon = defaults.boolValue(keys::showMenuBarIcon);
                   recent->setEnabled(icon);
                   recent->setDescription(icon ? QStringLiteral("Click TamoCove's tray icon to see your clips, "
                                                                "newest first. Right-click it for the TamoCove menu.")
                                               : QStringLiteral("Turn on Show TamoCove in the Tray in General "
                                                                "to use this."));
                   const bool applies = panelOptionsApply(defaults);
                   const bool horizontal = isHorizontal(defaults);
                   layout->setCurrentValue(rawValue(horizontal ? MenuBarLayout::horizontal : MenuBarLayout::vertical));
                   layoutRow->setEnabled(applies);
                   layoutRow->setDescription(horizontal
                                                 ? QStringLiteral("Cards in one row that scrolls sideways, like the "
                                                                  "TamoCove panel.")
                                                 : QStringLiteral("Cards in two columns that scroll down."));
                   panelSize->setCurrentValue(int(defaults.integer(keys::menuBarVisibleCards)));
                   sizeRow->setEnabled(applies);
                   sizeRow->setDescription(
                       horizontal ? QStringLiteral("How many cards fit across without scrolling. The panel never "
                                                   "runs past the edges of the screen.")
                                  : QStringLiteral("How many cards fit without scrolling. The panel never runs past "
                                                   "the bottom of the screen."));
               });
}

void ClipsPage::addClips()
{
    Defaults &defaults = m_env.defaults;
    AppModel &model = m_env.model;
    FormSection *clips = addSection(QStringLiteral("Clips"));
    clips->addRow(QStringLiteral("Link Previews"), QStringLiteral("Shows the page's image and title, fetched from the page."),
                  boundSwitch(defaults, keys::linkPreviews));
    clips->addRow(QStringLiteral("Copy New Screenshots"), QStringLiteral("Each new screenshot is copied to the clipboard."),
                  boundSwitch(defaults, keys::captureScreenshots, [&defaults, &model](bool on) {
                      defaults.setValue(keys::captureScreenshots, on);
                      if (ScreenshotWatcher *watcher = model.screenshots())
                          on ? watcher->start() : watcher->stop();
                  }));
    addSection(QStringLiteral("Preview"))
        ->addRow(QStringLiteral("Press and Hold to Preview"), QStringLiteral("Hold a clip to see it full size."),
                 boundSwitch(defaults, keys::holdToPreview));
}

} // namespace tamo
