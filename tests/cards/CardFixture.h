#pragma once

#include "app/AppModelFixture.h"

#include "app/AppIcons.h"
#include "cards/CardContext.h"
#include "cards/CardPainter.h"
#include "cards/ClipCard.h"
#include "cards/ThumbnailCache.h"
#include "model/ClipLibrary.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"

#include <QSignalSpy>
#include <QTest>
#include <QWidget>

namespace tamo::testing {

// A card in an active window over a real store, as a panel shows it.
class CardFixture : public AppModelFixture
{
protected:
    CardContext context(bool inMenuBar = false)
    {
        return CardContext{model().icons(), thumbnails, defaults, clock, &model(), inMenuBar};
    }

    ClipCard &showCard(bool inMenuBar = false)
    {
        auto *card = new ClipCard(context(inMenuBar), &window);
        card->show();
        window.resize(400, 400);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        return *card;
    }

    ClipItemPtr saved(const ClipDraft &draft)
    {
        ClipItemPtr clip = model().clips().makeClip(draft);
        EXPECT_TRUE(model().container().mainContext().save());
        return clip;
    }

    ClipItemPtr savedText(const QString &text)
    {
        return saved(ClipDraft::fromText(text, std::nullopt, QStringLiteral("org.example.Notes"), QStringLiteral("Notes")));
    }

    std::optional<QDateTime> editDate(const ClipItem &clip)
    {
        const auto dates = model().clips().editDatesByClip();
        const auto found = dates.constFind(clip.id());
        return found == dates.cend() ? std::nullopt : std::optional<QDateTime>(*found);
    }

    bool hasUnsavedChanges() { return model().container().mainContext().hasChanges(); }

    // Draws the card, waits for the picture it asked for, and draws it again.
    QImage paintedWithPicture(ClipCard &card)
    {
        QSignalSpy ready(&thumbnails, &ThumbnailCache::ready);
        card.grab();
        const CardAppearance &appearance = card.appearance();
        const bool asked = !CardPainter::pictureRect(card.rect(), appearance).isEmpty();
        if (asked && !appearance.content.picture && ready.isEmpty())
            ready.wait(10'000);
        return card.grab().toImage();
    }

    ThumbnailCache thumbnails;
    QWidget window;
};

} // namespace tamo::testing
