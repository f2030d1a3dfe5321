#include "onboarding/TourPageBody.h"

#include "app/AppModel.h"
#include "model/SettingsKeys.h"
#include "onboarding/OnboardingStyle.h"
#include "onboarding/ShortcutComparisonBar.h"
#include "platform/Defaults.h"
#include "platform/KeyNames.h"
#include "settings/DefaultsBindings.h"
#include "settings/ShortcutRecorder.h"
#include "settings/SwitchToggle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamo {

namespace {

QLatin1StringView bonusKey(BonusFeature feature)
{
    switch (feature) {
    case BonusFeature::windowSwitcher: return keys::windowSwitcherEnabled;
    case BonusFeature::windowSize: return keys::windowSizeEnabled;
    case BonusFeature::middleClick: return keys::threeFingerMiddleClick;
    case BonusFeature::inputSource: return keys::inputSourceByApp;
    }
    return {};
}

QString bonusTitle(BonusFeature feature)
{
    switch (feature) {
    case BonusFeature::windowSwitcher: return QStringLiteral("Window Switcher");
    case BonusFeature::windowSize: return QStringLiteral("Window Size");
    case BonusFeature::middleClick: return QStringLiteral("Middle Click");
    case BonusFeature::inputSource: return QStringLiteral("Keyboard Layout by App");
    }
    return {};
}

// Empties a holder widget's layout. What it held goes once control is back
// in the event loop: the button whose click rebuilt the row is still
// emitting.
QHBoxLayout *clearedRow(QWidget *holder)
{
    auto *row = static_cast<QHBoxLayout *>(holder->layout());
    while (QLayoutItem *item = row->takeAt(0)) {
        if (QWidget *widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    return row;
}

QWidget *rowHolder(double spacing)
{
    auto *holder = new QWidget;
    auto *row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(qRound(spacing));
    return holder;
}

} // namespace

TourPageBody::TourPageBody(const TourPage &page, const TourEnvironment &environment, double scale, QWidget *parent)
    : QWidget(parent)
    , m_page(page)
    , m_env(environment)
    , m_scale(scale)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(qRound(6 * scale));

    if (page.bonus)
        addBadge(layout, QStringLiteral("Bonus Feature"), OnboardingStyle::accent());
    if (page.offersDirectPaste)
        addBadge(layout, QStringLiteral("Recommended"), OnboardingStyle::success());

    auto *title = new QLabel(page.title);
    title->setFont(OnboardingStyle::font(20 * scale, QFont::DemiBold));
    title->setAlignment(Qt::AlignCenter);
    title->setWordWrap(true);
    layout->addWidget(title);

    if (page.showsShortcutComparison) {
        layout->addWidget(shortcutBlock());
    } else {
        auto *text = new QLabel(page.text);
        text->setFont(OnboardingStyle::font(13 * scale));
        OnboardingStyle::makeSecondary(text);
        text->setAlignment(Qt::AlignCenter);
        text->setWordWrap(true);
        layout->addWidget(text);
    }

    if (page.offersDirectPaste) {
        m_offer = rowHolder(10 * scale);
        layout->addSpacing(qRound(6 * scale));
        layout->addWidget(m_offer, 0, Qt::AlignHCenter);
        rebuildDirectPasteOffer();
    }
    if (page.bonus) {
        auto *row = rowHolder(12 * scale);
        const QString title = bonusTitle(*page.bonus);
        auto *name = new QLabel(title);
        name->setFont(OnboardingStyle::font(13 * scale, QFont::Medium));
        SwitchToggle *toggle = boundSwitch(m_env.defaults, bonusKey(*page.bonus), [this](bool on) { switchBonus(on); });
        // The switch is "on" in the tour's colour, not the desktop's.
        QPalette accented = toggle->palette();
        accented.setColor(QPalette::Highlight, OnboardingStyle::accent());
        toggle->setPalette(accented);
        toggle->setAccessibleName(title);
        name->setBuddy(toggle);
        m_bonusState = rowHolder(12 * scale);
        row->layout()->addWidget(name);
        row->layout()->addWidget(toggle);
        row->layout()->addWidget(m_bonusState);
        layout->addSpacing(qRound(6 * scale));
        layout->addWidget(row, 0, Qt::AlignHCenter);
        // Too long to share the switch's line.
        m_bonusWarning = rowHolder(10 * scale);
        layout->addWidget(m_bonusWarning, 0, Qt::AlignHCenter);
        rebuildBonusState();
    }

    // Settings changed anywhere (the settings window, the menus) and a
    // permission granted later show here at once.
    connect(&m_env.defaults, &Defaults::valueChanged, this, [this](const QString &key) {
        if (m_page.offersDirectPaste && key == keys::directPaste)
            rebuildDirectPasteOffer();
        if (m_page.bonus && (key == bonusKey(*m_page.bonus) || key == keys::windowSwitcherHotKeyDisplay
                             || key == keys::windowSizeHotKeyDisplay))
            rebuildBonusState();
    });
    connect(&m_env.model, &AppModel::accessibilityGrantedChanged, this, [this] {
        if (m_offer)
            rebuildDirectPasteOffer();
        if (m_bonusState)
            rebuildBonusState();
    });
    connect(&m_env.model, &AppModel::middleClickActiveChanged, this, [this] {
        if (m_bonusState)
            rebuildBonusState();
    });
}

void TourPageBody::addBadge(QVBoxLayout *layout, const QString &text, const QColor &colour)
{
    auto *badge = new QLabel(text.toUpper());
    QFont font = OnboardingStyle::font(10 * m_scale, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    badge->setFont(font);
    badge->setAccessibleName(text);
    badge->setStyleSheet(QStringLiteral("QLabel { color: white; background: %1; border-radius: 4px; padding: %2px %3px; }")
                             .arg(colour.name())
                             .arg(qRound(3 * m_scale))
                             .arg(qRound(8 * m_scale)));
    layout->addWidget(badge, 0, Qt::AlignHCenter);
}

QWidget *TourPageBody::shortcutBlock()
{
    auto *block = new QWidget;
    auto *layout = new QVBoxLayout(block);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(qRound(8 * m_scale));
    // Always the shipped shortcut, whatever the user chose since.
    const QString paragraphs =
        QStringLiteral("TamoCove opens with %1, but the best shortcut is the one your hand finds without looking. "
                       "Choose your own below, or in Settings → Shortcuts.\n"
                       "Mine is %2: Ctrl under your left little finger and the key left of 1 under your ring finger, "
                       "so TamoCove is one quick press away.")
            .arg(keyNames(QStringLiteral("⇧⌘V")),
                 keyNames(ShortcutComparisonBar::recommended(m_env.model.bonusTools().keyLeftOfOne())));
    auto *text = new QLabel(paragraphs);
    text->setFont(OnboardingStyle::font(13 * m_scale));
    OnboardingStyle::makeSecondary(text);
    text->setAlignment(Qt::AlignCenter);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto *row = rowHolder(10 * m_scale);
    auto *label = new QLabel(QStringLiteral("Open TamoCove"));
    label->setFont(OnboardingStyle::font(13 * m_scale, QFont::Medium));
    ShortcutRecorder *recorder = makeMainShortcutRecorder(m_env.model, m_env.defaults);
    label->setBuddy(recorder);
    row->layout()->addWidget(label);
    row->layout()->addWidget(recorder);
    layout->addSpacing(qRound(4 * m_scale));
    layout->addWidget(row, 0, Qt::AlignHCenter);
    return block;
}

QWidget *TourPageBody::onLabel(const QString &text)
{
    auto *holder = rowHolder(5 * m_scale);
    auto *icon = new QLabel;
    icon->setPixmap(OnboardingStyle::symbol(QStringLiteral("checkmark.circle.fill"), OnboardingStyle::success(),
                                            qRound(14 * m_scale)));
    auto *label = new QLabel(text);
    label->setFont(OnboardingStyle::font(13 * m_scale, QFont::Medium));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, OnboardingStyle::success());
    label->setPalette(palette);
    holder->layout()->addWidget(icon);
    holder->layout()->addWidget(label);
    return holder;
}

QWidget *TourPageBody::accessibilityWarning(SettingsPage explainedOn)
{
    auto *holder = rowHolder(10 * m_scale);
    auto *icon = new QLabel;
    icon->setPixmap(OnboardingStyle::symbol(QStringLiteral("exclamationmark.triangle.fill"), OnboardingStyle::warning(),
                                            qRound(13 * m_scale)));
    auto *label = new QLabel(QStringLiteral("Allow TamoCove in Accessibility to finish"));
    label->setFont(OnboardingStyle::font(12 * m_scale, QFont::Medium));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, OnboardingStyle::warning());
    label->setPalette(palette);
    auto *open = new QPushButton(QStringLiteral("Open Settings…"));
    // X11 has no permission to ask for: the settings say what the display lacks.
    connect(open, &QPushButton::clicked, this, [this, explainedOn] { m_env.model.showPreferences(int(explainedOn)); });
    holder->layout()->addWidget(icon);
    holder->layout()->addWidget(label);
    holder->layout()->addWidget(open);
    return holder;
}

QPushButton *TourPageBody::actionButton(const QString &text) const
{
    // Room around the title, as the desktop's own dialog buttons have.
    auto *button = new QPushButton(text);
    button->setMinimumSize(button->sizeHint().width() + qRound(24 * m_scale), qRound(30 * m_scale));
    return button;
}

void TourPageBody::rebuildDirectPasteOffer()
{
    QHBoxLayout *row = clearedRow(m_offer);
    if (!m_env.defaults.boolValue(keys::directPaste)) {
        QPushButton *turnOn = actionButton(QStringLiteral("Turn On Direct Paste"));
        connect(turnOn, &QPushButton::clicked, this, [this] { m_env.model.setDirectPaste(true); });
        row->addWidget(turnOn);
    } else if (!m_env.model.accessibilityGranted()) {
        row->addWidget(accessibilityWarning(SettingsPage::general));
    } else {
        row->addWidget(onLabel(QStringLiteral("Direct Paste is on")));
    }
}

void TourPageBody::rebuildBonusState()
{
    QHBoxLayout *row = clearedRow(m_bonusState);
    QHBoxLayout *warning = clearedRow(m_bonusWarning);
    const BonusFeature feature = *m_page.bonus;
    if (!m_env.defaults.boolValue(bonusKey(feature)))
        return;
    auto openBonusSettings = [this] { m_env.model.showPreferences(int(SettingsPage::bonus)); };
    switch (feature) {
    case BonusFeature::windowSwitcher:
        if (!m_env.model.accessibilityGranted())
            warning->addWidget(accessibilityWarning(SettingsPage::bonus));
        else
            row->addWidget(onLabel(QStringLiteral("On: press ")
                                   + keyNames(m_env.defaults.string(keys::windowSwitcherHotKeyDisplay).value_or(QString()))));
        break;
    case BonusFeature::windowSize:
        if (!m_env.model.accessibilityGranted()) {
            warning->addWidget(accessibilityWarning(SettingsPage::bonus));
        } else {
            row->addWidget(onLabel(QStringLiteral("On: press ")
                                   + keyNames(m_env.defaults.string(keys::windowSizeHotKeyDisplay).value_or(QString()))));
            QPushButton *sizes = actionButton(QStringLiteral("Set Sizes…"));
            connect(sizes, &QPushButton::clicked, this, openBonusSettings);
            row->addWidget(sizes);
        }
        break;
    case BonusFeature::middleClick:
        // Ready only once the click converter really runs, whatever the permission says.
        if (!m_env.model.middleClickActive())
            warning->addWidget(accessibilityWarning(SettingsPage::bonus));
        else
            row->addWidget(onLabel(QStringLiteral("Middle click is on")));
        break;
    case BonusFeature::inputSource: {
        row->addWidget(onLabel(QStringLiteral("On")));
        QPushButton *apps = actionButton(QStringLiteral("Choose Apps…"));
        connect(apps, &QPushButton::clicked, this, openBonusSettings);
        row->addWidget(apps);
        break;
    }
    }
}

void TourPageBody::switchBonus(bool on)
{
    switch (*m_page.bonus) {
    case BonusFeature::windowSwitcher: m_env.model.setWindowSwitcherEnabled(on); break;
    case BonusFeature::windowSize: m_env.model.setWindowSizeEnabled(on); break;
    case BonusFeature::middleClick: m_env.model.setThreeFingerMiddleClick(on); break;
    case BonusFeature::inputSource: m_env.model.setInputSourceByApp(on); break;
    }
}

} // namespace tamo
