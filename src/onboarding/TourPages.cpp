#include "onboarding/TourPages.h"

#include "platform/KeyNames.h"

namespace tamo::FeatureTourPages {

namespace {

// Shortcuts in the texts are written in glyphs and read as this desktop names keys.
QString withKeys(const char *text)
{
    QString result = QString::fromUtf8(text);
    for (const char *glyphs : {"⌃⌘Z", "⇧⌘V", "⌃1", "⌘V"}) {
        const QString shortcut = QString::fromUtf8(glyphs);
        result.replace(shortcut, keyNames(shortcut));
    }
    return result;
}

TourPage page(const char *image, const char *title, const char *text)
{
    return {QString::fromUtf8(image), QString::fromUtf8(title), withKeys(text), false, std::nullopt, false};
}

TourPage bonusPage(const char *image, const char *title, const char *text, BonusFeature feature)
{
    TourPage result = page(image, title, text);
    result.bonus = feature;
    return result;
}

} // namespace

const QList<TourPage> &pages()
{
    static const QList<TourPage> list = [] {
        QList<TourPage> pages;
        TourPage directPaste = page(
            "WhatsNewDirectPaste", "Paste in one step",
            "Turn on Direct Paste and picking a clip pastes it right where you're typing. TamoCove presses ⌘V for you "
            "in the app you were using. Leave it off and TamoCove just copies the clip; press ⌘V yourself. Change "
            "it anytime in Settings → General.");
        directPaste.offersDirectPaste = true;
        pages << directPaste;
        pages << page("WhatsNewMenuBarSearch", "Search, right from the tray",
                      "Tray Clips opens ready to type: search your whole history and filter by type or app, "
                      "with every match as cards. Want ⇧⌘V to open it too? Choose Tray Clips in Settings → "
                      "Shortcuts.");
        pages << page("WhatsNewScreenSizes", "The feature you didn't know you needed",
                      "I work on my laptop, a big ultrawide, and a lower-resolution LG at work, and kept resizing the "
                      "cards every time I switched. Now TamoCove remembers Card Size and Font Size for each screen and "
                      "resolution. New screens are added the moment you connect them; tune each in Settings → Clips.");
        pages << page("WhatsNewMenuBar", "Recent clips, right in the tray",
                      "Click TamoCove's tray icon to see your whole history as cards, newest first, and click one "
                      "to paste it. Right-click the icon for the TamoCove menu, or turn this off in Settings → Clips.");
        TourPage shortcut = page("WhatsNewShortcut", "Make the shortcut yours", "");
        shortcut.showsShortcutComparison = true;
        pages << shortcut;
        pages << page("WhatsNewGlass", "Glass cards", "A fresh look for every clip. Choose Glass or Classic in Settings.");
        pages << page("WhatsNewPreview", "Peek before you paste", "Press and hold any clip to see it full size.");
        pages << page("WhatsNewPrivacy", "Your secrets stay secret",
                      "Deleted clips are always erased for good, and you can skip API keys in Settings → Privacy.");
        pages << bonusPage("WhatsNewSwitcher", "Every window, one shortcut",
                           "Not part of TamoCove's clipboard — a separate bonus, off by default. Press ⌃1 to jump to "
                           "any open window, full screen ones too, most recent first. Turn it on below, or in "
                           "Settings → Bonus.",
                           BonusFeature::windowSwitcher);
        pages << bonusPage("WhatsNewWindowSize", "Your favorite size, perfectly centered",
                           "Not part of TamoCove's clipboard — a separate bonus, off by default. Press ⌃⌘Z and the "
                           "window you're using takes your favorite size, with the same gap on both sides. Each screen "
                           "keeps its own size. Turn it on below, or in Settings → Bonus.",
                           BonusFeature::windowSize);
        pages << bonusPage("WhatsNewMiddleClick", "Middle click with three fingers",
                           "Not part of TamoCove's clipboard — a separate bonus, off by default. A three-finger click "
                           "or tap on your touchpad becomes a middle click: open a link in a new tab, or close a tab, "
                           "in one click. Turn it on below, or in Settings → Bonus.",
                           BonusFeature::middleClick);
        pages << bonusPage("WhatsNewInputSource", "Bilingual?",
                           "Not part of TamoCove's clipboard — a separate bonus, off by default. Give each app its "
                           "language: Messages always in Spanish, Teams and Outlook always in English. TamoCove "
                           "switches as you move between apps and leaves the rest alone.",
                           BonusFeature::inputSource);
        return pages;
    }();
    return list;
}

} // namespace tamo::FeatureTourPages
