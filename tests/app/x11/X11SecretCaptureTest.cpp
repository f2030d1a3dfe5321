// Copies made with xclip on the real clipboard while "Don't Save API Keys and
// Tokens" is on: everyday texts and a developer's copies that only look like
// secrets are kept in the store; a real key is not.
#include "app/x11/X11AppFixture.h"

#include "support/DeveloperCopies.h"

#include "model/ClipItem.h"
#include "model/DefaultSettings.h"

using namespace tamo;
using namespace tamo::testing;

namespace {

const char *const everydayCopies[] = {
    "mkdir -p build/release",
    "cp -p notes.txt backup/notes.txt",
    "rsync -avz -p --delete src/ backup:/srv/site/",
    "https://www.booking.com/hotel/fr/le-petit.html?aid=304142&label=gen173nr-1FCAEoggI46AdIM1gEaE2IAQGYAQm4ARfIAQzYAQHoA"
    "QH4AQuIAgGoAgO4AsGl4aoGwAIB0gIkM2Q0NGRiYmEtZDkxNi00NjQwLWE2ZmYtYjYyYTQyNTdmOGVm2AIG4AIB&sid=1c3e0e61b0d4f5a2",
    "https://www.googleadservices.com/pagead/aclk?sa=L&ai=DChcSEwi4lZ2K7ZWCAxWJ0ncKHUs3BtIYABAAGgJlZg&ae=2"
    "&sig=AOD64_3QYwq0kA7Vv2NfYcQh9TmXW7mQmA&q&adurl&ved=2ahUKEwjHoJ2K7ZWCAxXzhP0HHXk3C0cQ0Qx6BAgHEAE",
    "#define sz_xXF86DRIQueryDirectRenderingCapableReply 32",
    "private_key: ed25519.Ed25519PrivateKey = load_key()",
    "sudo e2fsck -p /dev/sdb1",
};

class X11SecretCaptureTest : public X11AppFixture
{
protected:
    QString newestText()
    {
        const auto newest = model->container().mainContext().fetch<ClipItem>(
            FetchDescriptor().sorted(ClipItem::CreatedAtColumn, false).limited(1));
        return newest.isEmpty() ? QString() : newest.front()->text().value_or(QString());
    }

    // Copies `text` with xclip and waits until it is the newest clip in the store.
    // A text longer than a command line's argument goes through a file.
    bool savedAfterCopying(const QString &text)
    {
        constexpr qsizetype maxArgument = 64 * 1024;
        if (text.size() <= maxArgument) {
            owner = copyText(text);
        } else {
            const QString path = copies.file(QStringLiteral("copy.txt"));
            writeFile(path, text.toUtf8());
            owner = std::make_unique<ChildProcess>(
                QStringLiteral("sh"), QStringList{QStringLiteral("-c"),
                                                  QStringLiteral("xclip -quiet -selection clipboard < \"$1\""),
                                                  QStringLiteral("sh"), path});
        }
        return QTest::qWaitFor([&] { return newestText() == text; }, 30000);
    }

    // A real key is still skipped: the copy after it comes right after the last saved one.
    void expectAKeySkipped()
    {
        const int before = clipCount(*model);
        owner = copyText(QStringLiteral("export PAYMENTS_API_KEY=") + QStringLiteral("sk_live_") + QStringLiteral("51Hq8ZtK2mXc7PqR9sLw3VbN6yT4uE0aJ"));
        EXPECT_TRUE(savedAfterCopying(QStringLiteral("after the key")));
        EXPECT_EQ(clipCount(*model), before + 1);
    }

    void startWithSecretsSkipped()
    {
        registerDefaultSettings(defaults);
        defaults.setValue(keys::skipSecrets, true);
        model = makeModel(drawer);
        start(*model);
    }

    TempDir copies;

    DrawerPanel drawer;
    std::unique_ptr<AppModel> model;
    std::unique_ptr<ChildProcess> owner;
};

TEST_F(X11SecretCaptureTest, EverydayCopiesAreSavedWhileSecretsAreSkipped)
{
    startWithSecretsSkipped();
    for (const char *copy : everydayCopies)
        EXPECT_TRUE(savedAfterCopying(QString::fromUtf8(copy))) << copy << "; newest: " << newestText().toStdString();
    expectAKeySkipped();
}

TEST_F(X11SecretCaptureTest, DevelopersCopiesAreSavedWhileAKeyBesideThemIsSkipped)
{
    startWithSecretsSkipped();
    for (const DeveloperCopy &copy : developerCopies())
        EXPECT_TRUE(savedAfterCopying(copy.text)) << copy.why << "; newest: " << newestText().left(200).toStdString();
    expectAKeySkipped();
}

} // namespace
