#include "CardFixture.h"
#include "support/TestImages.h"
#include "support/UnnamedControls.h"
#include "support/WarningLog.h"

#include "cards/ClipInspector.h"
#include "cards/FittedImageView.h"
#include "cards/KeywordTokens.h"
#include "cards/KeywordsEditor.h"
#include "cards/PreviewContent.h"
#include "cards/PreviewPages.h"
#include "cards/PreviewPanelView.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>

namespace tamo::testing {

class PreviewPanelViewTest : public CardFixture
{
protected:
    ModelContext &context() { return model().container().mainContext(); }

    ClipItemPtr addClip(const ClipDraft &draft)
    {
        clock.advance(1000);
        return saved(draft);
    }
    ClipItemPtr addText(const QString &text, std::optional<QByteArray> rtf = {})
    {
        return addClip(ClipDraft::fromText(text, std::move(rtf)));
    }

    PreviewPanelView &view()
    {
        if (!m_view) {
            m_view = std::make_unique<PreviewPanelView>(model(), clock);
            m_view->resize(900, 600);
        }
        return *m_view;
    }
    QLineEdit &titleField() { return *view().inspector()->titleField(); }
    QLineEdit &keywordField() { return *view().inspector()->keywordsEditor()->field(); }
    QPlainTextEdit &textEditor() { return *view().content()->textEditor(); }

    // The panel made key and handing the keyboard to the view.
    void showFocused()
    {
        view().show();
        view().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view()));
        view().focusContent();
    }
    void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

    std::unique_ptr<PreviewPanelView> m_view;
};

TEST_F(PreviewPanelViewTest, StepsThroughItsOrderElseTheVisibleClipsAndStopsAtBothEnds)
{
    const ClipItemPtr a = addText(QStringLiteral("a"));
    const ClipItemPtr b = addText(QStringLiteral("b"));
    const ClipItemPtr c = addText(QStringLiteral("c"));
    const QList<QUuid> abc{a->id(), b->id(), c->id()};
    const struct {
        const char *name;
        std::optional<QList<QUuid>> order;
        QList<QUuid> visible;
    } rows[] = {
        {"the preview's own order wins", abc, {c->id(), b->id(), a->id()}},
        {"without one, the visible clips", std::nullopt, abc},
    };
    view();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        model().closePreview();
        model().setVisibleItemIDs(row.visible);
        model().openPreview(*b, row.order);
        EXPECT_EQ(view().clip(), b);
        EXPECT_TRUE(view().previousButton()->isEnabled());
        EXPECT_TRUE(view().nextButton()->isEnabled());

        view().step(1);
        EXPECT_EQ(model().previewItemID(), c->id());
        EXPECT_FALSE(view().nextButton()->isEnabled());
        view().step(1);
        EXPECT_EQ(model().previewItemID(), c->id());

        view().previousButton()->click();
        view().previousButton()->click();
        EXPECT_EQ(view().clip(), a);
        EXPECT_FALSE(view().previousButton()->isEnabled());
        view().step(-1);
        EXPECT_EQ(model().previewItemID(), a->id());
        EXPECT_EQ(model().previewOrder(), row.order);
    }
}

TEST_F(PreviewPanelViewTest, StepsPassOverDeletedClipsAndNeverLeaveAClipOutsideTheOrder)
{
    const ClipItemPtr a = addText(QStringLiteral("a"));
    const ClipItemPtr b = addText(QStringLiteral("b"));
    const ClipItemPtr c = addText(QStringLiteral("c"));
    model().setVisibleItemIDs({a->id()});
    model().openPreview(*c);
    EXPECT_FALSE(view().canStep(-1));
    EXPECT_FALSE(view().canStep(1));

    // The strip has not caught up with the deletion yet.
    model().setVisibleItemIDs({a->id(), b->id(), c->id()});
    model().deleteItems({b});
    view().step(-1);
    EXPECT_EQ(view().clip(), a);
    model().deleteItems({c});
    EXPECT_FALSE(view().nextButton()->isEnabled());
}

TEST_F(PreviewPanelViewTest, ArrowsStepAndEscapeOrSpaceCloseExceptWhileTypingInAField)
{
    const ClipItemPtr a = addText(QStringLiteral("a"));
    const ClipItemPtr b = addText(QStringLiteral("b"));
    const ClipItemPtr c = addText(QStringLiteral("c"));
    model().setVisibleItemIDs({a->id(), b->id(), c->id()});
    model().openPreview(*b);
    showFocused();

    press(Qt::Key_Right);
    EXPECT_EQ(model().previewItemID(), c->id());
    press(Qt::Key_Left);
    EXPECT_EQ(model().previewItemID(), b->id());

    titleField().setFocus();
    press(Qt::Key_Left);
    press(Qt::Key_Space);
    EXPECT_EQ(model().previewItemID(), b->id());
    EXPECT_EQ(titleField().text(), QStringLiteral(" "));
    textEditor().setFocus();
    press(Qt::Key_Right);
    press(Qt::Key_Space);
    EXPECT_EQ(model().previewItemID(), b->id());
    EXPECT_EQ(textEditor().toPlainText(), QStringLiteral("b "));

    view().focusContent();
    ext.log.clear();
    press(Qt::Key_Space);
    EXPECT_TRUE(model().previewItemID().isNull());
    EXPECT_FALSE(model().previewOrder().has_value());
    EXPECT_EQ(ext.log, QStringList{QStringLiteral("preview.close")});

    // Escape closes from a field too, saving what was typed there.
    model().openPreview(*a, QList<QUuid>{a->id(), b->id()});
    titleField().setFocus();
    QTest::keyClicks(&titleField(), QStringLiteral("Notes"));
    press(Qt::Key_Escape);
    EXPECT_TRUE(model().previewItemID().isNull());
    EXPECT_FALSE(model().previewOrder().has_value());
    EXPECT_EQ(a->title(), QStringLiteral("Notes"));
}

TEST_F(PreviewPanelViewTest, EditsFollowTheStoredFormAndAnUnchangedFieldWritesNothing)
{
    enum class Field { title, keywords, text };
    const struct {
        const char *name;
        Field field;
        QStringList before; // title and text: one entry, or none for no title
        QStringList typed;
        QStringList after;
        bool edited;
    } rows[] = {
        {"a title is trimmed", Field::title, {}, {"  Report  "}, {"Report"}, true},
        {"a blank title removes it", Field::title, {"Old"}, {"   "}, {}, true},
        {"an untouched title is not tidied", Field::title, {" Old "}, {" Old "}, {" Old "}, false},
        {"keywords are trimmed, blanks and repeats dropped", Field::keywords, {},
         {" red ", "", "Blue", "RED", "blue ", "green"}, {"red", "Blue", "green"}, true},
        {"untouched keywords keep what an import left", Field::keywords, {"x", "X"}, {"x", "X"}, {"x", "X"}, false},
        {"keywords that clean up to the stored ones", Field::keywords, {"a"}, {"a", " A "}, {"a"}, false},
        {"new text replaces the old", Field::text, {"old words"}, {"new words"}, {"new words"}, true},
        {"emptied text is refused", Field::text, {"old words"}, {""}, {"old words"}, false},
    };
    view();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const ClipItemPtr clip = addText(row.field == Field::text ? row.before.value(0) : QStringLiteral("body"),
                                         QByteArray("{\\rtf1 body}"));
        if (row.field == Field::title)
            clip->setTitle(row.before.isEmpty() ? std::nullopt : std::optional<QString>(row.before.first()));
        if (row.field == Field::keywords)
            clip->setKeywords(row.before);
        ASSERT_TRUE(context().save());
        const QString hashBefore = clip->contentHash();
        model().setPreviewItemID(clip->id());

        switch (row.field) {
        case Field::title:
            titleField().setText(row.typed.first());
            break;
        case Field::keywords:
            view().inspector()->keywordsEditor()->setKeywords(row.typed);
            break;
        case Field::text:
            textEditor().setPlainText(row.typed.first());
            break;
        }
        view().commitEdits();

        switch (row.field) {
        case Field::title:
            EXPECT_EQ(clip->title(), row.after.isEmpty() ? std::nullopt : std::optional<QString>(row.after.first()));
            EXPECT_EQ(titleField().text(), row.after.value(0));
            break;
        case Field::keywords:
            EXPECT_EQ(clip->keywords(), row.after);
            EXPECT_EQ(view().inspector()->keywordsEditor()->keywords(), row.after);
            break;
        case Field::text:
            EXPECT_EQ(clip->text(), row.after.first());
            EXPECT_EQ(textEditor().toPlainText(), row.after.first());
            // Stale rich text would paste the old words.
            EXPECT_EQ(clip->rtfData().has_value(), !row.edited);
            EXPECT_EQ(clip->contentHash() != hashBefore, row.edited);
            break;
        }
        EXPECT_EQ(editDate(*clip), row.edited ? std::optional<QDateTime>(clock.now()) : std::nullopt);
        EXPECT_FALSE(context().hasChanges());
    }
}

TEST_F(PreviewPanelViewTest, EditsAreSavedOnLeavingAFieldOnAStepAndOnClosingNotPerKey)
{
    const ClipItemPtr a = addText(QStringLiteral("first"));
    const ClipItemPtr b = addText(QStringLiteral("second"));
    model().setVisibleItemIDs({a->id(), b->id()});
    model().openPreview(*a);
    showFocused();

    titleField().setFocus();
    QTest::keyClicks(&titleField(), QStringLiteral("Draft"));
    EXPECT_FALSE(context().hasChanges());
    EXPECT_FALSE(a->title().has_value());
    view().focusContent();
    EXPECT_EQ(a->title(), QStringLiteral("Draft"));
    EXPECT_EQ(editDate(*a), clock.now());

    textEditor().setFocus();
    textEditor().moveCursor(QTextCursor::End);
    QTest::keyClicks(&textEditor(), QStringLiteral(" draft"));
    EXPECT_EQ(a->text(), QStringLiteral("first"));
    view().nextButton()->click(); // the button leaves the keyboard in the editor
    EXPECT_EQ(a->text(), QStringLiteral("first draft"));
    EXPECT_EQ(textEditor().toPlainText(), QStringLiteral("second"));

    keywordField().setFocus();
    QTest::keyClicks(&keywordField(), QStringLiteral("work"));
    EXPECT_TRUE(b->keywords().isEmpty());
    view().closePreview();
    EXPECT_EQ(b->keywords(), QStringList{QStringLiteral("work")});
}

TEST_F(PreviewPanelViewTest, TextTooLongToLayOutQuicklyIsShownInPartAndNotEdited)
{
    const QString line(5 * 1024 * 1024, u'w');
    const QString manyLines = QStringLiteral("a short line\n").repeated(200'000);
    const struct {
        const char *name;
        QString text;
        bool editable;
    } rows[] = {
        {"a 5 MB paragraph", line, false},
        {"over two million characters in short lines", manyLines, false},
        {"a long but ordinary text", manyLines.left(1'000'000), true},
    };
    view();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const ClipItemPtr clip = addText(row.text);
        model().setPreviewItemID(clip->id());
        EXPECT_EQ(textEditor().isReadOnly(), !row.editable);
        EXPECT_EQ(textEditor().document()->characterCount() - 1,
                  row.editable ? row.text.size() : PreviewContent::longestEditableParagraph);

        textEditor().setPlainText(QStringLiteral("typed"));
        titleField().setText(QStringLiteral("Big"));
        view().commitEdits();
        EXPECT_EQ(clip->text(), row.editable ? QStringLiteral("typed") : row.text);
        EXPECT_EQ(clip->title(), QStringLiteral("Big"));
    }
}

TEST_F(PreviewPanelViewTest, KeywordTokensComeFromReturnAndCommasAndGoByBackspaceOrTheirButton)
{
    const ClipItemPtr clip = addText(QStringLiteral("body"));
    model().openPreview(*clip);
    showFocused();
    KeywordsEditor &editor = *view().inspector()->keywordsEditor();

    keywordField().setFocus();
    QTest::keyClicks(&keywordField(), QStringLiteral("alpha, Beta,gam"));
    EXPECT_EQ(editor.tokens()->tokens(), (QStringList{QStringLiteral("alpha"), QStringLiteral("Beta")}));
    EXPECT_EQ(keywordField().text(), QStringLiteral("gam"));
    QTest::keyClicks(&keywordField(), QStringLiteral("ma"));
    press(Qt::Key_Return);
    EXPECT_EQ(clip->keywords(),
              (QStringList{QStringLiteral("alpha"), QStringLiteral("Beta"), QStringLiteral("gamma")}));

    press(Qt::Key_Backspace);
    EXPECT_EQ(clip->keywords(), (QStringList{QStringLiteral("alpha"), QStringLiteral("Beta")}));

    QApplication::processEvents(); // lays the tokens out
    const QRect remove = editor.tokens()->removeButtonRect(0);
    ASSERT_TRUE(remove.isValid());
    QTest::mouseClick(editor.tokens(), Qt::LeftButton, {}, remove.center());
    EXPECT_EQ(clip->keywords(), QStringList{QStringLiteral("Beta")});
}

TEST_F(PreviewPanelViewTest, AClipThatNoLongerResolvesShowsNothingAndCloses)
{
    const struct {
        const char *name;
        std::function<void(const ClipItemPtr &)> remove;
    } rows[] = {
        {"deleted through the app", [this](const ClipItemPtr &clip) { model().deleteItems({clip}); }},
        {"removed from the store elsewhere",
         [this](const ClipItemPtr &clip) {
             context().remove(clip);
             ASSERT_TRUE(context().save());
         }},
        {"an id that never was a clip", [this](const ClipItemPtr &) { model().setPreviewItemID(QUuid::createUuid()); }},
    };
    view();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const ClipItemPtr clip = addText(QStringLiteral("doomed"));
        model().openPreview(*clip, QList<QUuid>{clip->id()});
        ext.log.clear();

        row.remove(clip);
        EXPECT_EQ(view().clip(), nullptr);
        EXPECT_TRUE(model().previewItemID().isNull());
        EXPECT_FALSE(model().previewOrder().has_value());
        EXPECT_TRUE(ext.log.contains(QStringLiteral("preview.close")));
        EXPECT_TRUE(titleField().text().isEmpty());
        EXPECT_FALSE(view().inspector()->isEnabled());
    }
}

TEST_F(PreviewPanelViewTest, ChangesMadeElsewhereShowExceptInTheFieldBeingTypedIn)
{
    const ClipItemPtr clip = addText(QStringLiteral("body"));
    model().openPreview(*clip);
    showFocused();

    clip->setTitle(QStringLiteral("Renamed on the card"));
    ASSERT_TRUE(context().save());
    QApplication::processEvents();
    EXPECT_EQ(titleField().text(), QStringLiteral("Renamed on the card"));

    titleField().setFocus();
    titleField().setText(QStringLiteral("Mine"));
    clip->setTitle(QStringLiteral("Theirs"));
    clip->setKeywords({QStringLiteral("synced")});
    ASSERT_TRUE(context().save());
    QApplication::processEvents();
    EXPECT_EQ(titleField().text(), QStringLiteral("Mine"));
    EXPECT_EQ(view().inspector()->keywordsEditor()->keywords(), QStringList{QStringLiteral("synced")});
}

TEST_F(PreviewPanelViewTest, ShowingAndSteppingNeverTakeTheKeyboard)
{
    const ClipItemPtr text = addText(QStringLiteral("words"));
    const ClipItemPtr image = addClip(*ClipDraft::fromImage(encodedImage({40, 30}, Qt::red)));
    model().setVisibleItemIDs({text->id(), image->id()});
    model().openPreview(*text);
    view().step(1);
    view().step(-1);
    EXPECT_EQ(view().window()->focusWidget(), nullptr);

    view().focusContent();
    EXPECT_EQ(view().window()->focusWidget(), &view());
}

TEST_F(PreviewPanelViewTest, EveryKindRendersWithoutWarningsWithEveryControlNamed)
{
    const QDir files(configDir.path());
    const QString picture = files.filePath(QStringLiteral("photo.png"));
    ASSERT_TRUE(QImage(QSize(60, 40), QImage::Format_RGB32).save(picture));

    ClipDraft link = ClipDraft::fromText(QStringLiteral("https://example.com/a/very/long/path/") + QString(300, u'x'));
    const ClipItemPtr linkClip = addClip(link);
    linkClip->setLinkTitle(QStringLiteral("Example page"));
    linkClip->setLinkImageData(encodedImage({120, 60}, Qt::blue));
    linkClip->setLinkPreviewFetched(true);
    ASSERT_TRUE(context().save());

    ClipDraft oneImageFile;
    oneImageFile.kind = ClipKind::file;
    oneImageFile.filePaths = {picture};
    ClipDraft someFiles;
    someFiles.kind = ClipKind::file;
    someFiles.filePaths = {files.path(), files.filePath(QStringLiteral("gone.txt"))};

    PreviewContent &content = *view().content();
    const struct {
        const char *name;
        ClipItemPtr clip;
        QWidget *page;
    } rows[] = {
        {"text", addText(QStringLiteral("שלום, world\n") + QString(5000, u'w')), content.textEditor()->parentWidget()},
        {"link", linkClip, content.linkPage()},
        {"a 10,000-pixel image", addClip(*ClipDraft::fromImage(encodedImage({10000, 60}, Qt::green))), content.imageView()},
        {"one image file", addClip(oneImageFile), content.filePage()},
        {"a folder and a missing file", addClip(someFiles), content.filePage()},
        {"colour", addText(QStringLiteral("#FF000080")), content.colorPage()},
    };

    const WarningLog warnings;
    view().setAttribute(Qt::WA_DontShowOnScreen);
    view().show();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        model().setPreviewItemID(row.clip->id());
        EXPECT_EQ(content.currentWidget(), row.page);
        const QList<FittedImageView *> pictures = row.page->findChildren<FittedImageView *>()
                                                  << qobject_cast<FittedImageView *>(row.page);
        for (FittedImageView *shown : pictures) {
            if (shown)
                QTRY_VERIFY(!shown->isLoading());
        }
        EXPECT_FALSE(view().grab().isNull());
        const QStringList unnamed = unnamedControls(&view());
        EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u", ").toStdString();
    }
    EXPECT_EQ(warnings.text(), "");

    model().setPreviewItemID(rows[3].clip->id());
    const auto *filePicture = content.filePage()->findChild<FittedImageView *>();
    EXPECT_EQ(filePicture->status(), Thumbnail::Status::ready);
    model().setPreviewItemID(rows[4].clip->id());
    EXPECT_EQ(content.filePage()->list()->count(), 2);
    EXPECT_EQ(content.colorPage()->color(), QColor(255, 0, 0, 128));
}

TEST_F(PreviewPanelViewTest, WhatAClipNoLongerPreviewedShowedIsLetGo)
{
    const ClipItemPtr text = addText(QStringLiteral("a line of a long text\n").repeated(10'000));
    const ClipItemPtr image = addClip(*ClipDraft::fromImage(encodedImage({800, 600}, Qt::darkCyan)));
    ClipDraft someFiles;
    someFiles.kind = ClipKind::file;
    someFiles.filePaths = {QDir::temp().filePath(QStringLiteral("notes.txt"))};
    const ClipItemPtr files = addClip(someFiles);
    const PreviewContent &content = *view().content();
    const struct {
        const char *name;
        std::function<void()> moveOn;
    } rows[] = {
        {"closed", [&] { model().closePreview(); }},
        {"stepped to files", [&] { model().openPreview(*files); }},
        {"its clip deleted", [&] { model().deleteItems({text, image}); }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        model().openPreview(*text);
        EXPECT_FALSE(content.textEditor()->document()->isEmpty());
        model().openPreview(*image);
        EXPECT_TRUE(content.textEditor()->document()->isEmpty()) << "the text went as the image came";
        QTRY_VERIFY_WITH_TIMEOUT(content.imageView()->status().has_value(), 20000);

        row.moveOn();
        EXPECT_FALSE(content.imageView()->status().has_value());
        EXPECT_EQ(content.imageView()->sizeHint(), QSize(32, 32)) << "no picture held, only its margins";
        if (model().previewItemID().isNull()) {
            EXPECT_EQ(view().pictures().usedBytes(), 0);
        }
    }
}

TEST_F(PreviewPanelViewTest, ImagesAreDecodedOffTheMainThreadAndNoLargerThanTheScreenNeeds)
{
    const ClipItemPtr image = addClip(*ClipDraft::fromImage(encodedImage({10000, 400}, Qt::darkCyan)));
    model().openPreview(*image);

    FittedImageView &shown = *view().content()->imageView();
    EXPECT_TRUE(shown.isLoading()); // nothing was decoded on the way here
    QTRY_VERIFY_WITH_TIMEOUT(!shown.isLoading(), 20000);
    EXPECT_EQ(shown.status(), Thumbnail::Status::ready);
    EXPECT_LT(shown.sizeHint().width(), 5000);
}

} // namespace tamo::testing
