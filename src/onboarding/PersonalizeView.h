#pragma once

#include "model/ClipItem.h"
#include "model/SettingsEnums.h"

#include <QList>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QStackedLayout;

namespace tamo {

class AppModel;
class ClipCard;
class Defaults;
class PageDots;
class ThumbnailCache;

// What the personalisation window works with; its style options and size
// controls are the settings window's own.
struct PersonalizeEnvironment
{
    AppModel &model;
    Defaults &defaults;
    ThumbnailCache &thumbnails;
};

// "Make TamoCove Yours": a few pages that settle how the history opens, the
// menu-bar layout (only when the menu bar was chosen), the card style and the
// sizes, over a live sample card. Every choice is stored at once; closing
// keeps what was chosen so far.
class PersonalizeView : public QWidget
{
    Q_OBJECT

public:
    enum class Step { opens, menuBarLayout, style, size };

    PersonalizeView(const PersonalizeEnvironment &environment, std::function<void()> close, QWidget *parent = nullptr);

    // The pages in force for what the shortcut opens now.
    static QList<Step> steps(ShortcutTarget target);
    // The number shown: the layout page counts as part of step 1.
    static int stepNumber(Step step);

    Step step() const { return m_step; }
    // One page on or back in the list in force; nothing when the page shown
    // is not in it or the move would leave it.
    void move(int by);
    // "Next", or "Done" on the last page, which closes.
    void advance();

protected:
    // Return is "Next" (or "Done") wherever the focus is.
    void keyPressEvent(QKeyEvent *event) override;

private:
    class Tile;
    // How a tile's picture is drawn: its artwork, placed by the alignment,
    // on a warm backdrop or not, filling the picture or fitting in it.
    struct TileLook
    {
        QString image;
        Qt::Alignment alignment;
        bool backdrop;
        bool fills;
    };
    struct TileChoice
    {
        TileLook look;
        QString title;
        QString detail;
        QString value; // stored under the page's key when chosen
        std::function<void(Defaults &)> alsoStore;
    };

    ShortcutTarget target() const;
    // A row of tiles, each storing its value under `key`; `fallback` is the
    // value while the key holds none.
    QWidget *tilesPage(const QString &key, const QString &fallback, const QList<TileChoice> &choices);
    QWidget *opensPage();
    QWidget *layoutPage();
    QWidget *stylePage();
    QWidget *sizePage();
    void show(Step step);

    PersonalizeEnvironment m_env;
    std::function<void()> m_close;
    ClipItemPtr m_sample;
    Step m_step = Step::opens;
    QLabel *m_stepLabel = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_explanation = nullptr;
    QStackedLayout *m_pages = nullptr;
    PageDots *m_dots = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
};

} // namespace tamo
