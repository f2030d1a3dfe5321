#include "DrawerFixture.h"

#include "drawer/FilterChip.h"
#include "drawer/SearchPill.h"
#include "drawer/SearchQueryView.h"
#include "model/ClipDraft.h"
#include "model/ClipLibrary.h"

#include <QMenu>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace tamo;
using namespace tamo::testing;

namespace {

const SearchFilter images = SearchFilter::kind(ClipKind::image);
const SearchFilter links = SearchFilter::kind(ClipKind::link);

class SearchPillTest : public AppModelFixture
{
protected:
    // Clips copied from one app, with texts of their own so none is merged.
    void copyFrom(const QString &bundleID, const QString &name, int count)
    {
        for (int i = 0; i < count; ++i) {
            clock.advance(1000);
            const QString text = QStringLiteral("%1 %2").arg(bundleID).arg(i);
            model().clips().ingest(ClipDraft::fromText(text, {}, bundleID, name));
        }
    }

    std::unique_ptr<SearchPill> makePill()
    {
        auto pill = std::make_unique<SearchPill>(model());
        pill->resize(SearchPill::maximumWidth, SearchPill::fixedHeight);
        pill->show();
        return pill;
    }

    // The menu as it shows now: section titles bare, toggles as "[x] title".
    static QStringList menuItems(SearchPill &pill)
    {
        emit pill.filterMenu().aboutToShow();
        QStringList items;
        for (const QAction *action : pill.filterMenu().actions()) {
            if (action->isCheckable())
                items.append((action->isChecked() ? QStringLiteral("[x] ") : QStringLiteral("[ ] ")) + action->text());
            else if (action->isSeparator() && action->text().isEmpty())
                items.append(QStringLiteral("---"));
            else
                items.append(action->text());
        }
        return items;
    }

    static void choose(SearchPill &pill, const QString &title)
    {
        emit pill.filterMenu().aboutToShow();
        const QList<QAction *> actions = pill.filterMenu().actions();
        const auto found = std::find_if(actions.cbegin(), actions.cend(),
                                        [&](const QAction *action) { return action->text() == title; });
        ASSERT_NE(found, actions.cend()) << title.toStdString();
        (*found)->trigger();
    }

    static QStringList chipTitles(const SearchPill &pill)
    {
        QStringList titles;
        for (const FilterChip *chip : pill.chips())
            titles.append(chip->text());
        return titles;
    }
};

TEST_F(SearchPillTest, PlaceholderOnlyWithoutTextOrFiltersAndCaretAfterTheChips)
{
    struct Row
    {
        QString text;
        QList<SearchFilter> filters;
        bool placeholder;
    };
    const Row rows[] = {
        {QString(), {}, true},
        {QString(), {links, images}, false},
        {QStringLiteral("abc"), {}, false},
        {QStringLiteral("abc"), {images}, false},
    };
    auto pill = makePill();
    for (const Row &row : rows) {
        model().setSearchText(row.text);
        model().setSearchFilters(row.filters);
        QTest::qWait(0);
        const SearchQueryView &query = pill->queryView();
        EXPECT_EQ(query.placeholderShown(), row.placeholder) << row.text.toStdString();
        ASSERT_EQ(pill->chips().size(), row.filters.size());
        EXPECT_EQ(query.shownText(), row.text);
        if (!pill->chips().isEmpty()) {
            const QRect lastChip = pill->chips().last()->geometry();
            const qreal caretX = query.mapTo(pill.get(), query.caretRect().topLeft().toPoint()).x();
            EXPECT_GT(caretX, lastChip.right());
        }
    }
}

TEST_F(SearchPillTest, LongTextIsCutAtItsStartKeepingTheCaretInside)
{
    auto pill = makePill();
    model().setSearchText(QStringLiteral("first words ") + QString(300, QLatin1Char('m')) + QStringLiteral(" last"));
    const SearchQueryView &query = pill->queryView();
    const QString shown = query.shownText();
    EXPECT_TRUE(shown.startsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral(" last")));
    EXPECT_LE(query.caretRect().right(), query.width());
    EXPECT_EQ(pill->width(), SearchPill::maximumWidth);
}

TEST_F(SearchPillTest, ClearButtonEndsTheSearchEvenWithoutText)
{
    struct Row
    {
        QString text;
        QList<SearchFilter> filters;
    };
    const Row rows[] = {{QString(), {}}, {QString(), {images}}, {QStringLiteral("abc"), {links}}};
    auto pill = makePill();
    for (const Row &row : rows) {
        model().setSearchOpened(true);
        model().setSearchText(row.text);
        model().setSearchFilters(row.filters);
        const int token = model().focusToken();
        pill->clearButton().click();
        EXPECT_FALSE(model().isSearchActive());
        EXPECT_TRUE(model().searchFilters().isEmpty());
        EXPECT_EQ(model().focusToken(), token + 1);
    }
}

TEST_F(SearchPillTest, MenuTogglesKindsAndClearsFiltersKeepingTheText)
{
    copyFrom(QStringLiteral("firefox"), QStringLiteral("Firefox"), 2);
    copyFrom(QStringLiteral("org.gnome.Nautilus"), QStringLiteral("Files"), 1);
    auto pill = makePill();
    EXPECT_EQ(menuItems(*pill),
              QStringList({"Type", "[ ] Text", "[ ] Link", "[ ] Image", "[ ] File", "[ ] Color", "App", "[ ] Firefox",
                           "[ ] Files"}));

    model().setSearchText(QStringLiteral("abc"));
    choose(*pill, QStringLiteral("Link"));
    const int token = model().focusToken();
    choose(*pill, QStringLiteral("Image"));
    EXPECT_EQ(model().focusToken(), token + 1);
    EXPECT_TRUE(model().searchOpened());
    EXPECT_EQ(chipTitles(*pill), QStringList({"Link", "Image"}));
    EXPECT_EQ(menuItems(*pill).mid(2, 3), QStringList({"[x] Link", "[x] Image", "[ ] File"}));
    EXPECT_EQ(menuItems(*pill).mid(9), QStringList({"---", "Clear Filters"}));

    choose(*pill, QStringLiteral("Link"));
    EXPECT_EQ(chipTitles(*pill), QStringList({"Image"}));

    choose(*pill, QStringLiteral("Firefox"));
    choose(*pill, QStringLiteral("Clear Filters"));
    EXPECT_TRUE(model().searchFilters().isEmpty());
    EXPECT_EQ(model().searchText(), QStringLiteral("abc"));
    EXPECT_EQ(model().focusToken(), token + 4);
    EXPECT_FALSE(menuItems(*pill).contains(QStringLiteral("Clear Filters")));
}

TEST_F(SearchPillTest, ClickingAChipRemovesOnlyItsFilter)
{
    auto pill = makePill();
    const SearchFilter app = SearchFilter::app(QStringLiteral("firefox"), QStringLiteral("Firefox"));
    model().setSearchFilters({links, app, images});
    ASSERT_EQ(chipTitles(*pill), QStringList({"Link", "Firefox", "Image"}));
    FilterChip *const survivor = pill->chips().first();

    pill->chips()[1]->click();
    EXPECT_EQ(model().searchFilters(), QList<SearchFilter>({links, images}));
    EXPECT_EQ(chipTitles(*pill), QStringList({"Link", "Image"}));
    EXPECT_EQ(pill->chips().first(), survivor);
}

TEST_F(SearchPillTest, AnAppUnderAnotherNameIsAnotherFilter)
{
    copyFrom(QStringLiteral("firefox"), QStringLiteral("Firefox"), 1);
    auto pill = makePill();
    model().setSearchFilters({SearchFilter::app(QStringLiteral("firefox"), QStringLiteral("Firefox Nightly"))});
    EXPECT_TRUE(menuItems(*pill).contains(QStringLiteral("[ ] Firefox")));

    choose(*pill, QStringLiteral("Firefox"));
    EXPECT_EQ(chipTitles(*pill), QStringList({"Firefox Nightly", "Firefox"}));
}

TEST_F(SearchPillTest, OffersTheFifteenBusiestAppsReadWhenShown)
{
    for (int app = 1; app <= 16; ++app)
        copyFrom(QStringLiteral("app%1").arg(app), QStringLiteral("App %1").arg(app), app);
    auto pill = makePill();
    ASSERT_EQ(pill->apps().size(), SearchPill::offeredApps);
    EXPECT_EQ(pill->apps().first().name, QStringLiteral("App 16"));
    EXPECT_EQ(pill->apps().last().name, QStringLiteral("App 2"));

    copyFrom(QStringLiteral("busy"), QStringLiteral("Busy"), 20);
    EXPECT_EQ(pill->apps().first().name, QStringLiteral("App 16"));
    pill->hide();
    pill->show();
    EXPECT_EQ(pill->apps().first().name, QStringLiteral("Busy"));
}

TEST_F(SearchPillTest, CaretBlinksAndEachShowingStartsVisible)
{
    auto pill = makePill();
    const SearchQueryView &query = pill->queryView();
    EXPECT_EQ(query.caretOpacity(), 1.0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return query.caretOpacity() < 0.1; }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return query.caretOpacity() > 0.9; }));

    ASSERT_TRUE(QTest::qWaitFor([&] { return query.caretOpacity() < 0.5; }));
    pill->hide();
    pill->show();
    EXPECT_EQ(query.caretOpacity(), 1.0);
}

} // namespace
