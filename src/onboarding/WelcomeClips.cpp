#include "onboarding/WelcomeClips.h"

#include "model/ClipDraft.h"
#include "model/ClipLibrary.h"
#include "model/ContentHash.h"
#include "model/ModelContext.h"
#include "model/Pinboard.h"
#include "model/ProductLinks.h"
#include "model/SettingsKeys.h"
#include "app/Product.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"

namespace tamo {

namespace {

QStringList keywords(std::initializer_list<const char *> own)
{
    // The product's present, short and former names come first, so a search
    // for any of them finds every welcome clip.
    QStringList words{QStringLiteral("tamocove"), QStringLiteral("tamo"), QStringLiteral("vostra")};
    for (const char *word : own)
        words.append(QString::fromLatin1(word));
    return words;
}

} // namespace

const QList<WelcomeClips::Link> &WelcomeClips::links()
{
    static const QList<Link> table{
        {QStringLiteral("Say Thanks on LinkedIn"), QStringLiteral("https://www.linkedin.com/posts/tamocove_thanks"),
         keywords({"linkedin", "thanks", "share", "feedback"})},
        {QStringLiteral("TamoCove Website"), ProductLinks::website().toString(),
         keywords({"website", "download", "home"})},
        {QStringLiteral("TamoCove Help Guide"), ProductLinks::sitePage(QStringLiteral("help")).toString(),
         keywords({"help", "docs", "guide", "shortcuts"})},
        {QStringLiteral("TamoCove Support"), ProductLinks::sitePage(QStringLiteral("support")).toString(),
         keywords({"support", "contact", "feedback", "bug"})},
        {QStringLiteral("Buy Me a Coffee"), QStringLiteral("https://www.buymeacoffee.com/tamocove"),
         keywords({"coffee", "support", "donate", "tip"})},
    };
    return table;
}

WelcomeClips::WelcomeClips(ModelContext &context, ClipLibrary &clips, Defaults &defaults, const Clock &clock)
    : m_context(context)
    , m_clips(clips)
    , m_defaults(defaults)
    , m_clock(clock)
{
}

ClipItemPtr WelcomeClips::makeClip(const Link &link)
{
    ClipDraft draft;
    draft.kind = ClipKind::link;
    draft.text = link.url;
    draft.sourceBundleID = product::bundleID;
    draft.sourceAppName = product::name;
    ClipItemPtr clip = m_clips.makeClip(draft);
    clip->setTitle(link.title);
    clip->setKeywords(link.keywords);
    return clip;
}

void WelcomeClips::seedIfNeeded(const QDateTime &startTime)
{
    if (m_defaults.boolValue(keys::welcomeClipsChecked))
        return;
    m_defaults.setValue(keys::welcomeClipsChecked, true);

    // Clips captured since this launch began don't make the history "used".
    const int pinboards = m_context.fetchCount<Pinboard>();
    const int olderClips = m_context.fetchCount<ClipItem>(
        FetchDescriptor().where(ClipItem::CreatedAtColumn, FetchDescriptor::Compare::less, startTime));
    if (pinboards > 0 || olderClips > 0)
        return;

    auto pinboard = std::make_shared<Pinboard>(pinboardName, pinboardColorIndex, 0);
    m_context.insert(pinboard);
    const QDateTime now = m_clock.now();
    // The thanks card is pinned last, so it leads the pinboard; creation runs
    // the other way, a millisecond apart, so the order holds whatever the
    // clock's resolution.
    const qsizetype count = links().size();
    for (qsizetype i = 0; i < count; ++i) {
        ClipItemPtr clip = makeClip(links()[i]);
        clip->setCreatedAt(now.addMSecs(i - (count - 1)));
        clip->setPin(pinboard->id(), now.addSecs(-i));
    }
    m_defaults.setValue(keys::linkedInCardChecked, true);
    m_context.save();
}

void WelcomeClips::addThanksCardIfNeeded()
{
    if (!m_defaults.boolValue(keys::welcomeClipsChecked) || m_defaults.boolValue(keys::linkedInCardChecked))
        return;
    m_defaults.setValue(keys::linkedInCardChecked, true);

    PinboardPtr welcome;
    for (const QString &name : {pinboardName, QStringLiteral("Tamo"), QStringLiteral("Vostra")}) {
        const auto found = m_context.fetch<Pinboard>(
            FetchDescriptor().where(Pinboard::NameColumn, FetchDescriptor::Compare::equal, name).limited(1));
        if (!found.isEmpty()) {
            welcome = found.first();
            break;
        }
    }

    const Link &thanks = links().first();
    const QString hash = makeContentHash(ClipKind::link, thanks.url, std::nullopt, {});
    const auto existing = m_context.fetch<ClipItem>(
        FetchDescriptor().where(ClipItem::ContentHashColumn, FetchDescriptor::Compare::equal, hash).limited(1));
    if (existing.isEmpty()) {
        ClipItemPtr card = makeClip(thanks);
        if (welcome)
            card->setPin(welcome->id(), m_clock.now());
        m_context.save();
        return;
    }
    const ClipItemPtr &clip = existing.first();
    if (!welcome || clip->pinboardID())
        return;
    clip->setPin(welcome->id(), m_clock.now());
    if (clip->title().value_or(QString()).isEmpty())
        clip->setTitle(thanks.title);
    m_context.save();
}

} // namespace tamo
