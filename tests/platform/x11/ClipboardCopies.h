#pragma once

#include "ChildProcess.h"
#include "platform/x11/X11Pasteboard.h"

#include <QTemporaryFile>

#include <memory>

namespace tamo::testing {

// Copies that other X clients make on the real clipboard. Each lasts while
// the returned process lives and is made once that client owns the clipboard.
class ClipboardCopies
{
public:
    explicit ClipboardCopies(x11::X11Pasteboard &pasteboard)
        : m_pasteboard(pasteboard)
    {
    }

    // Through a file: a large payload would trickle through a pipe the
    // test's event loop feeds.
    std::unique_ptr<ChildProcess> xclip(const QString &target, const QByteArray &bytes) const
    {
        QTemporaryFile input;
        EXPECT_TRUE(input.open() && input.write(bytes) == bytes.size() && input.flush());
        return owning(std::make_unique<ChildProcess>(
            QStringLiteral("xclip"),
            QStringList{QStringLiteral("-quiet"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                        QStringLiteral("-t"), target, QStringLiteral("-i"), input.fileName()}));
    }

    // The test peer offering several types at once: mime, text, mime, text, ...
    // Mode "copy".
    std::unique_ptr<ChildProcess> peer(const QString &mode, const QStringList &mimeAndText) const
    {
        return owning(std::make_unique<ChildProcess>(QStringLiteral(TAMO_X11_TEST_PEER), QStringList{mode} + mimeAndText));
    }

    // An owner that is hard on its readers: silent, hold, targets, incr.
    std::unique_ptr<ChildProcess> hostile(const QStringList &modeAndArguments) const
    {
        return owning(std::make_unique<ChildProcess>(QStringLiteral(TAMO_X11_HOSTILE_OWNER), modeAndArguments));
    }

    // An app's recorded offer (an offers/ folder, see X11OfferOwner.cpp),
    // exactly as recorded, or as X11OfferOwner's options change it.
    // Prints "sent <target>" for each target read.
    std::unique_ptr<ChildProcess> recorded(const QString &folder, const QStringList &options = {}) const
    {
        const QStringList arguments = QStringList{folder} + options;
        return owning(std::make_unique<ChildProcess>(QStringLiteral(TAMO_X11_OFFER_OWNER), arguments));
    }

private:
    std::unique_ptr<ChildProcess> owning(std::unique_ptr<ChildProcess> owner) const
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_pasteboard.ownerProcessID() == owner->pid(); }, 10000))
            << "the copy never reached the clipboard";
        return owner;
    }

    x11::X11Pasteboard &m_pasteboard;
};

} // namespace tamo::testing
