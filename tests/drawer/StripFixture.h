#pragma once

#include "DrawerFixture.h"

#include "cards/CardContext.h"
#include "cards/ClipCard.h"
#include "cards/ThumbnailCache.h"
#include "drawer/ClipStrip.h"
#include "drawer/DrawerSelection.h"
#include "model/ClipDraft.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/SettingsKeys.h"

#include <QScrollBar>

#include <memory>

namespace tamo::testing {

// Rows of cards over a real model whose drawer and other parts only record
// what they are asked. A row is 1424 wide: four cards and a bit at scale 1.
class StripFixture : public AppModelFixture
{
protected:
    StripFixture()
    {
        registerDefaultSettings(defaults);
        defaults.setValue(keys::directPaste, false);
    }

    CardContext cards() { return {model().icons(), thumbnails, defaults, clock, &model()}; }

    // Text clips "<prefix> 1" … "<prefix> n", each copied a second after the
    // one before and saved together, so the history lists them newest first.
    QList<ClipItemPtr> addClips(int count, const QString &prefix = QStringLiteral("clip"))
    {
        ModelContext &context = model().container().mainContext();
        QList<ClipItemPtr> clips;
        for (int i = 1; i <= count; ++i) {
            clock.advance(1000);
            auto clip = std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("%1 %2").arg(prefix).arg(i)),
                                                   clock.now());
            context.insert(clip);
            clips.append(clip);
        }
        EXPECT_TRUE(context.save());
        return clips;
    }

    std::unique_ptr<ClipStrip> makeStrip(const QUuid &pinboardID = {})
    {
        auto strip = std::make_unique<ClipStrip>(model(), cards(), pinboardID, fastTime);
        strip->resize(1424, 350);
        strip->show();
        return strip;
    }

    static QStringList texts(const QList<ClipItemPtr> &clips)
    {
        QStringList texts;
        for (const ClipItemPtr &clip : clips)
            texts.append(clip->text().value_or(QString()));
        return texts;
    }

    static int offset(const ClipStrip &strip) { return strip.horizontalScrollBar()->value(); }

    static bool waitForOffset(const ClipStrip &strip, int offset)
    {
        return QTest::qWaitFor([&] { return strip.horizontalScrollBar()->value() == offset; });
    }

    ThumbnailCache thumbnails;
};

} // namespace tamo::testing
