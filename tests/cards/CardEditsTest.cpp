#include "CardFixture.h"

#include "cards/CardMetrics.h"
#include "cards/CardPainter.h"
#include "cards/EmojiPicker.h"
#include "cards/TitleField.h"
#include "model/Emoji.h"
#include "support/ShownText.h"
#include "support/UnnamedControls.h"

#include <QLineEdit>
#include <QToolButton>
#include <QPushButton>

using namespace tamo;
using namespace tamo::testing;

namespace {

enum class Ending { returnKey, escapeKey, focusLoss };

} // namespace

class CardEditsTest : public CardFixture
{
protected:
    // Ends the rename the way the user did; the field is gone afterwards.
    void end(TitleField &field, Ending ending)
    {
        switch (ending) {
        case Ending::returnKey:
            QTest::keyClick(&field, Qt::Key_Return);
            break;
        case Ending::escapeKey:
            QTest::keyClick(&field, Qt::Key_Escape);
            break;
        case Ending::focusLoss:
            elsewhere.setFocus(Qt::MouseFocusReason);
            break;
        }
        QCoreApplication::processEvents();
    }

    ClipCard &showCardWithElsewhere()
    {
        elsewhere.setParent(&window);
        elsewhere.move(0, 350);
        return showCard();
    }

    QLineEdit elsewhere;
};

TEST_F(CardEditsTest, RenameCommitsTheTrimmedTitleOnceHoweverItEnds)
{
    const struct {
        Ending ending;
        std::optional<QString> before;
        QString typed;
        std::optional<QString> after;
        bool edited;
    } rows[] = {
        {Ending::returnKey, {}, QStringLiteral("  Trip plans \n"), QStringLiteral("Trip plans"), true},
        {Ending::escapeKey, {}, QStringLiteral("Budget"), QStringLiteral("Budget"), true}, // Escape keeps what was typed
        {Ending::focusLoss, {}, QStringLiteral("Notes"), QStringLiteral("Notes"), true},
        {Ending::returnKey, QStringLiteral("Old"), QStringLiteral("   "), std::nullopt, true},
        {Ending::focusLoss, QStringLiteral("Old"), QString(), std::nullopt, true},
        {Ending::returnKey, QStringLiteral("Old"), QStringLiteral("  Old "), QStringLiteral("Old"), false},
        {Ending::escapeKey, {}, QString(), std::nullopt, false},
    };
    ClipCard &card = showCardWithElsewhere();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.typed.toStdString());
        auto clip = savedText(QStringLiteral("renamed"));
        clip->setTitle(row.before);
        model().container().mainContext().save();
        card.setItem(clip);
        QSignalSpy focusBack(&model(), &AppModel::focusTokenChanged);

        model().beginRenaming(*clip, false);
        TitleField *field = card.titleField();
        ASSERT_TRUE(field);
        EXPECT_TRUE(field->hasFocus());
        EXPECT_EQ(field->text(), row.before.value_or(QString()));
        field->setText(row.typed);
        end(*field, row.ending);

        EXPECT_EQ(clip->title(), row.after);
        EXPECT_EQ(editDate(*clip).has_value(), row.edited);
        EXPECT_FALSE(hasUnsavedChanges());
        EXPECT_FALSE(card.titleField());
        EXPECT_TRUE(model().renamingItemID().isNull());
        EXPECT_EQ(focusBack.count(), 1) << "ended once, the keyboard handed back";
    }
}

// In the drawer the age sits under the label, in the menu-bar panel beside it.
TEST_F(CardEditsTest, TheTitleFieldLeavesTheAgeShowing)
{
    for (const bool inMenuBar : {false, true}) {
        SCOPED_TRACE(inMenuBar ? "menu bar" : "drawer");
        ClipCard &card = showCard(inMenuBar);
        auto clip = savedText(QStringLiteral("aged"));
        card.setItem(clip);
        model().beginRenaming(*clip, inMenuBar);
        TitleField *field = card.titleField();
        ASSERT_TRUE(field);
        EXPECT_EQ(shownText(field), QStringLiteral("Title")) << "named for screen readers";
        const CardMetrics metrics(card.fields().size, inMenuBar);
        const QRectF label = CardPainter::labelRect(card.rect(), card.appearance());
        // Beside the label, the age starts one item spacing (8) past it.
        const qreal ageLeft = label.right() + 8 * metrics.scale;
        const QRectF age = inMenuBar ? QRectF(ageLeft, label.top(), card.width() - ageLeft, label.height())
                                     : QRectF(label.left(), label.bottom() + metrics.detailGap, label.width(),
                                              QFontMetricsF(metrics.detailFont()).height());
        EXPECT_FALSE(QRectF(field->geometry()).intersects(age.adjusted(1, 1, -1, -1)))
            << field->geometry().bottom() << " into the age line at " << age.top();
        model().endRenaming();
    }
}

TEST_F(CardEditsTest, RenameOpensOnlyOnTheCardOfThePanelThatAskedForIt)
{
    ClipCard &drawerCard = showCard(false);
    ClipCard &menuBarCard = showCard(true);
    auto clip = savedText(QStringLiteral("where"));
    drawerCard.setItem(clip);
    menuBarCard.setItem(clip);

    model().beginRenaming(*clip, true);
    EXPECT_FALSE(drawerCard.titleField());
    EXPECT_TRUE(menuBarCard.titleField());
    model().beginRenaming(*clip, false);
    EXPECT_TRUE(drawerCard.titleField());
    EXPECT_FALSE(menuBarCard.titleField());
}

TEST_F(CardEditsTest, ARenameEndedElsewhereDropsWhatWasTyped)
{
    ClipCard &card = showCardWithElsewhere();
    auto clip = savedText(QStringLiteral("dropped"));
    card.setItem(clip);
    model().beginRenaming(*clip, false);
    card.titleField()->setText(QStringLiteral("half typed"));

    model().setRenamingItemID({}); // the drawer hid
    QCoreApplication::processEvents();
    EXPECT_FALSE(card.titleField());
    EXPECT_EQ(clip->title(), std::nullopt);
    EXPECT_FALSE(editDate(*clip));
}

TEST_F(CardEditsTest, ACardReusedForAnotherClipForgetsTheRenameAndThePicker)
{
    ClipCard &card = showCardWithElsewhere();
    auto first = savedText(QStringLiteral("first"));
    auto second = savedText(QStringLiteral("second"));
    card.setItem(first);
    model().beginRenaming(*first, false);
    card.titleField()->setText(QStringLiteral("meant for the first"));

    card.setItem(second);
    QCoreApplication::processEvents();
    EXPECT_FALSE(card.titleField());
    EXPECT_EQ(first->title(), std::nullopt);
    EXPECT_EQ(second->title(), std::nullopt);
    EXPECT_EQ(model().renamingItemID(), first->id()) << "the first clip's card elsewhere may still take it";

    card.setItem(first);
    EXPECT_TRUE(card.titleField()) << "back on the clip being renamed, the field opens again";
    model().setRenamingItemID({});

    model().openIconPicker(*first);
    ASSERT_TRUE(card.emojiPicker());
    const QStringList unnamed = unnamedControls(card.emojiPicker());
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u", ").toStdString();
    card.setItem(second);
    QCoreApplication::processEvents();
    EXPECT_FALSE(card.emojiPicker());
    EXPECT_EQ(first->iconEmoji(), std::nullopt);
}

TEST_F(CardEditsTest, PickerTakesExactlyOneEmoji)
{
    EmojiPicker picker(false);
    QSignalSpy chosen(&picker, &EmojiPicker::iconChosen);
    const struct {
        const char *typed;
        bool taken;
    } rows[] = {
        {"😀", true}, {" 👍🏽 ", true}, {"👨‍👩‍👧", true}, {"🇫🇷", true}, {"❤️", true},
        {"😀😀", false}, {"ok", false}, {"❤", false}, {"1", false}, {"", false},
    };
    for (const auto &row : rows)
        EXPECT_EQ(picker.submit(QString::fromUtf8(row.typed)), row.taken) << row.typed;
    ASSERT_EQ(chosen.count(), 5);
    EXPECT_EQ(chosen.at(1).first().toString(), QStringLiteral("👍🏽")) << "trimmed";

    for (const QString &emoji : EmojiPicker::commonEmoji())
        EXPECT_TRUE(isSingleEmoji(emoji)) << emoji.toStdString();
}

TEST_F(CardEditsTest, ChoosingAnIconSavesItAndClosesThePicker)
{
    ClipCard &card = showCard();
    auto clip = savedText(QStringLiteral("pinned"));
    card.setItem(clip);

    model().openIconPicker(*clip);
    ASSERT_TRUE(card.emojiPicker());
    auto *firstEmoji = card.emojiPicker()->findChild<QToolButton *>();
    ASSERT_TRUE(firstEmoji);
    QTest::mouseClick(firstEmoji, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(clip->iconEmoji(), EmojiPicker::commonEmoji().first());
    EXPECT_TRUE(editDate(*clip));
    EXPECT_FALSE(hasUnsavedChanges());
    EXPECT_TRUE(model().iconPickerItemID().isNull());
    EXPECT_FALSE(card.emojiPicker());
    EXPECT_EQ(card.appearance().header.emoji, EmojiPicker::commonEmoji().first());

    model().openIconPicker(*clip);
    ASSERT_TRUE(card.emojiPicker());
    card.emojiPicker()->submit(QStringLiteral("two words"));
    EXPECT_TRUE(card.emojiPicker()) << "refused input keeps the picker open";
    QTest::mouseClick(card.emojiPicker()->findChild<QPushButton *>(), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(clip->iconEmoji(), std::nullopt);
    EXPECT_TRUE(model().iconPickerItemID().isNull());
}

TEST_F(CardEditsTest, DismissingThePickerChangesNothing)
{
    ClipCard &card = showCard();
    auto clip = savedText(QStringLiteral("kept"));
    clip->setIconEmoji(QStringLiteral("📌"));
    model().container().mainContext().save();
    card.setItem(clip);

    model().openIconPicker(*clip);
    ASSERT_TRUE(card.emojiPicker());
    card.emojiPicker()->close(); // a click outside the popup
    QCoreApplication::processEvents();
    EXPECT_EQ(clip->iconEmoji(), QStringLiteral("📌"));
    EXPECT_FALSE(editDate(*clip));
    EXPECT_TRUE(model().iconPickerItemID().isNull());
    EXPECT_FALSE(card.emojiPicker());
}

TEST_F(CardEditsTest, EditsOfAClipOutsideAnyStoreStayInMemory)
{
    ClipItem sample(ClipDraft::fromText(QStringLiteral("sample")), clock.now());
    CardEdits edits(&model(), clock);
    EXPECT_TRUE(edits.rename(sample, QStringLiteral(" Sample ")));
    EXPECT_EQ(sample.title(), QStringLiteral("Sample"));
    EXPECT_TRUE(edits.setIcon(sample, QStringLiteral("🎉")));
    EXPECT_FALSE(edits.setIcon(sample, QStringLiteral("🎉🎉")));
    EXPECT_EQ(sample.iconEmoji(), QStringLiteral("🎉"));
    EXPECT_FALSE(editDate(sample));
    EXPECT_FALSE(hasUnsavedChanges());
}
