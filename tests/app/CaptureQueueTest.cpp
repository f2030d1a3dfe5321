#include "app/CaptureQueue.h"

#include <QPromise>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tamo;

namespace {

using Build = QFuture<std::optional<ClipDraft>>;

Build readyText(const QString &text)
{
    return QtFuture::makeReadyFuture(std::optional<ClipDraft>(ClipDraft::fromText(text)));
}

// A read that ends on a later turn of the event loop, as a large image does.
class SlowRead
{
public:
    explicit SlowRead(const QString &text) : m_text(text) { m_promise.start(); }

    Build future() { return m_promise.future(); }

    void endSoon()
    {
        QTimer::singleShot(20, &m_receiver, [this] {
            m_promise.addResult(std::optional<ClipDraft>(ClipDraft::fromText(m_text)));
            m_promise.finish();
        });
    }

private:
    QString m_text;
    QObject m_receiver;
    QPromise<std::optional<ClipDraft>> m_promise;
};

} // namespace

// With a quick text and a slower image pending at quit, the image was lost:
// the wait covered the first copy only.
TEST(CaptureQueue, FinishHandsOnEveryCopyStillBeingReadInCopyOrder)
{
    const struct
    {
        const char *name;
        bool slowFirst;
    } cases[] = {
        {"a quick copy, then a slower one", false},
        {"a slower copy, then a quick one", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        CaptureQueue queue;
        QStringList handedOn;
        QObject::connect(&queue, &CaptureQueue::ready,
                         [&handedOn](const ClipDraft &draft) { handedOn.append(draft.text.value_or(QString())); });
        SlowRead slow(QStringLiteral("slow"));
        const QStringList order = c.slowFirst ? QStringList{QStringLiteral("slow"), QStringLiteral("quick")}
                                              : QStringList{QStringLiteral("quick"), QStringLiteral("slow")};
        for (const QString &copy : order)
            queue.append(copy == QLatin1String("slow") ? slow.future() : readyText(copy));
        slow.endSoon();

        EXPECT_EQ(queue.finish(QDeadlineTimer(30'000)), 0);
        EXPECT_EQ(handedOn.join(u','), order.join(u','));
    }
}

TEST(CaptureQueue, FinishCountsTheCopiesNotReadByTheDeadline)
{
    CaptureQueue queue;
    QPromise<std::optional<ClipDraft>> neverEnds;
    neverEnds.start();
    queue.append(readyText(QStringLiteral("quick")));
    queue.append(neverEnds.future());
    queue.append(readyText(QStringLiteral("behind the stuck one")));
    EXPECT_EQ(queue.finish(QDeadlineTimer(50)), 2);
    neverEnds.finish();
}
