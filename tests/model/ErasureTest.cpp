#include "StoreFixture.h"

#include "model/LocalRecords.h"

#include <QFileInfo>

using namespace tamo;
using namespace tamo::testing;

namespace {

const QByteArray marker("ZX-erase-marker-9341");

QByteArray withMarker(int size)
{
    QByteArray bytes(size, '\x5a');
    bytes.replace(size / 2, marker.size(), marker);
    return bytes;
}

} // namespace

// Every way of removing clips must leave none of their content readable in
// the store files or their logs.
class Erasure : public StoreFixture, public ::testing::WithParamInterface<const char *>
{
protected:
    ClipItemPtr addMarkedClip()
    {
        ClipDraft draft = ClipDraft::fromText(QString::fromLatin1("text " + marker));
        draft.rtfData = "{\\rtf1 " + marker + "}";
        draft.imageData = withMarker(64 * 1024);
        auto clip = std::make_shared<ClipItem>(draft, clock.now().addDays(-2));
        clip->setTitle(QString::fromLatin1("title " + marker));
        clip->setKeywords({QString::fromLatin1(marker)});
        context().insert(clip);
        context().insert(std::make_shared<LocalImage>(clip->id(), withMarker(300 * 1024)));
        return clip;
    }

    void expectNoMarkerAnywhere()
    {
        for (const char *name : {"Tamo.store", "Tamo.store-wal", "TamoLocal.store", "TamoLocal.store-wal"}) {
            const QByteArray bytes = storeBytes(QLatin1String(name));
            EXPECT_FALSE(bytes.contains(marker)) << name;
            EXPECT_FALSE(bytes.contains(marker.toUpper())) << name;
        }
        EXPECT_EQ(QFileInfo(dir.file(QStringLiteral("Tamo.store-wal"))).size(), 0);
        EXPECT_EQ(QFileInfo(dir.file(QStringLiteral("TamoLocal.store-wal"))).size(), 0);
    }
};

TEST_P(Erasure, LeavesNoContentInTheFiles)
{
    auto keep = std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("keep me")), clock.now());
    context().insert(keep);
    auto clip = addMarkedClip();
    ASSERT_TRUE(context().save());
    // Edits after the first save leave older page images in the log.
    clip->setTitle(QString::fromLatin1("retitled " + marker));
    ASSERT_TRUE(context().save());
    ASSERT_TRUE(storeBytes(QStringLiteral("Tamo.store-wal")).contains(marker) ||
                storeBytes(QStringLiteral("Tamo.store")).contains(marker));

    const std::string way = GetParam();
    if (way == "record") {
        context().remove(clip);
    } else {
        context().removeClips(FetchDescriptor().where(ClipItem::CreatedAtColumn, FetchDescriptor::Compare::less,
                                                      clock.now().addDays(-1)));
    }
    ASSERT_TRUE(context().save());
    expectNoMarkerAnywhere();
    EXPECT_FALSE(keep->isGone());
}

INSTANTIATE_TEST_SUITE_P(Ways, Erasure, ::testing::Values("record", "bulk"));
