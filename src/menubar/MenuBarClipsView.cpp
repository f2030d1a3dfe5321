#include "menubar/MenuBarClipsView.h"

#include "app/AppIcons.h"
#include "app/AppModel.h"
#include "cards/GlassRim.h"
#include "cards/GlassSurface.h"
#include "cards/ViewStyles.h"
#include "drawer/AfterNextFrame.h"
#include "drawer/EmptyStripView.h"
#include "drawer/ExploreFeaturesButton.h"
#include "drawer/FilterChip.h"
#include "drawer/FilterMenu.h"
#include "drawer/KeyPress.h"
#include "drawer/PinboardMenu.h"
#include "drawer/PinboardNameField.h"
#include "drawer/PinboardTabLabel.h"
#include "drawer/SyncIndicator.h"
#include "menubar/MenuBarCardGrid.h"
#include "menubar/MenuBarClipsState.h"
#include "menubar/MenuBarGeometry.h"
#include "menubar/MenuBarKeys.h"
#include "menubar/MenuBarPinboardChip.h"
#include "menubar/OuterShadow.h"
#include "menubar/SearchCapsule.h"
#include "menubar/TabKeyMonitor.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/KeyNames.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace tamo {

namespace {

// The room the panel's frame leaves around the glass, for its shadow.
constexpr QMargins frameRoom = MenuBarGeometry::shadowRoom;
constexpr qreal cornerRadius = MenuBarGeometry::cardCornerRadius;
constexpr int searchSymbolSide = 14;
constexpr int barSymbolSide = 13;
constexpr int barButtonSide = 22;
constexpr int chipsRowHeight = 30;

QToolButton *toolButton(const QString &text, const QString &toolTip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

// A borderless button showing a symbol, or the fallback glyph where the icon
// theme lacks the symbol. Screen readers read its name; its tooltip, which
// may name keys, is read as its description.
QToolButton *symbolButton(const QString &symbol, const QString &fallback, int side, const QColor &colour,
                          const QString &name, const QString &toolTip, QWidget *parent)
{
    QToolButton *button = toolButton(fallback, toolTip, parent);
    const QPixmap pixmap = tintedSymbol(symbol, side, colour, parent->devicePixelRatioF());
    if (!pixmap.isNull()) {
        button->setIcon(pixmap);
        button->setIconSize(QSize(side, side));
    }
    button->setAccessibleName(name);
    return button;
}

} // namespace

MenuBarClipsView::MenuBarClipsView(AppModel &model, const CardContext &cards, MenuBarClipsState &counters,
                                   Actions actions, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_actions(std::move(actions))
    , m_state(model)
    , m_defaults(cards.defaults)
{
    // Only a compositor shows a shadow; without one the panel is cut to its card.
    if (translucencyAvailable())
        m_shadow = new OuterShadow(cornerRadius, this);
    auto *column = new QVBoxLayout(this);
    column->setSpacing(0);
    column->setContentsMargins(frameRoom);

    auto *capsule = buildSearchCapsule();
    auto *capsuleBox = new QHBoxLayout;
    capsuleBox->setContentsMargins(18, 14, 18, 0);
    capsuleBox->addWidget(capsule);
    column->addLayout(capsuleBox);

    m_chipsScroll = new QScrollArea(this);
    m_chipsScroll->setFrameShape(QFrame::NoFrame);
    m_chipsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_chipsScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_chipsScroll->setFocusPolicy(Qt::NoFocus);
    m_chipsScroll->setWidgetResizable(true);
    m_chipsScroll->setFixedHeight(chipsRowHeight);
    m_chipsScroll->viewport()->setAutoFillBackground(false);
    m_chipsRow = new QWidget;
    auto *chips = new QHBoxLayout(m_chipsRow);
    chips->setContentsMargins(16, 0, 16, 0);
    chips->setSpacing(2);
    m_chipsScroll->setWidget(m_chipsRow);
    m_chipsRow->setAutoFillBackground(false); // the glass shows through
    auto *chipsBox = new QVBoxLayout;
    chipsBox->setContentsMargins(0, 10, 0, 0);
    chipsBox->addWidget(m_chipsScroll);
    m_chipsBox = new QWidget(this);
    m_chipsBox->setLayout(chipsBox);
    column->addWidget(m_chipsBox);

    auto *titleRow = new QHBoxLayout;
    titleRow->setContentsMargins(22, 12, 22, 2);
    m_title = new QLabel(this);
    m_title->setFont(uiFont(15, QFont::DemiBold));
    titleRow->addWidget(m_title);
    titleRow->addStretch();
    auto *hint = new QLabel(tr("Click to paste · %1–%2").arg(keyNames(QStringLiteral("⌘1")), keyNames(QStringLiteral("⌘9"))), this);
    hint->setFont(uiFont(11.5));
    hint->setForegroundRole(QPalette::PlaceholderText);
    titleRow->addWidget(hint, 0, Qt::AlignBaseline);
    column->addLayout(titleRow);

    m_grid = new MenuBarCardGrid(m_state, cards, m_actions.pasteByClick, this);
    m_grid->viewport()->setAutoFillBackground(false); // the cards sit on the glass
    column->addWidget(m_grid, 1);
    // Centred over the cards by a layout of its own, whatever size the grid has yet.
    m_empty = new EmptyStripView(nullptr, EmptyStripView::menuBar);
    auto *overlay = new QVBoxLayout(m_grid->viewport());
    overlay->addWidget(m_empty, 0, Qt::AlignCenter);

    column->addWidget(buildBottomBar());

    connect(&m_state, &MenuBarViewState::searchChanged, this, &MenuBarClipsView::syncSearch);
    connect(&m_state, &MenuBarViewState::visibleClipsChanged, this, &MenuBarClipsView::syncSearch);
    connect(&m_state, &MenuBarViewState::focusChanged, this, &MenuBarClipsView::applyFocus);
    connect(&m_state, &MenuBarViewState::renamingBoardChanged, this, &MenuBarClipsView::rebuildScopeChips);
    connect(&m_state, &MenuBarViewState::closeRequested, this, [this] { m_actions.close(); });
    connect(&counters, &MenuBarClipsState::openCountChanged, &m_state, &MenuBarViewState::resetForOpen);
    m_restOfList = new AfterNextFrame(*this, [this] { m_state.readRestOfList(); });
    connect(&counters, &MenuBarClipsState::openCountChanged, this, [this] {
        if (m_state.holdsFirstClipsOnly())
            m_restOfList->arm();
    });
    connect(&counters, &MenuBarClipsState::refocusCountChanged, this,
            [this] { m_state.setFocus(MenuBarViewState::Focus::search); });
    connect(&m_model, &AppModel::previewItemIDChanged, this, [this] {
        const QUuid id = m_model.previewItemID();
        if (id.isNull() || !m_model.isOrderedPreviewOpen() || !m_state.visibleIDs().contains(id))
            return;
        m_state.setSelection(id, m_state.selectedID() == id ? m_state.multiSelection() : QSet<QUuid>());
    });
    connect(&m_defaults, &Defaults::valueChanged, this, [this](const QString &key) {
        if (key == keys::shortcutTarget || key == keys::hotKeyDisplay)
            syncDrawerButton();
    });
    // Tab cycles the pinboard scope wherever the focus is, before any control moves the focus.
    new TabKeyMonitor(this, [this](bool forward) { return m_state.handleTab(forward); }, this);
    // Closed, the chips wait for the next opening, which rebuilds them.
    connect(&m_model.container().mainContext(), &ModelContext::didSave, this, [this](const SaveSummary &summary) {
        if (isVisible() && summary.entities.contains(QLatin1String(Pinboard::spec().name)))
            rebuildScopeChips();
    });
    rebuildScopeChips();
    syncDrawerButton();
    syncSearch();
    m_capsule->setFocusRingShown(m_state.focus() == MenuBarViewState::Focus::search);
}

QWidget *MenuBarClipsView::buildSearchCapsule()
{
    m_capsule = new SearchCapsule(this);
    auto *capsule = m_capsule;
    capsule->setFixedHeight(34);
    auto *row = new QHBoxLayout(capsule);
    m_capsuleRow = row;
    row->setContentsMargins(12, 0, 6, 0);
    row->setSpacing(6);
    const QColor secondary = sharedSecondaryLabelColor();
    auto *magnifier = new QLabel(capsule);
    const QPixmap glass = tintedSymbol(QStringLiteral("magnifyingglass"), searchSymbolSide, secondary,
                                       devicePixelRatioF());
    if (glass.isNull())
        magnifier->setText(QStringLiteral("🔍"));
    else
        magnifier->setPixmap(glass);
    magnifier->setContentsMargins(0, 0, 1, 0);
    row->addWidget(magnifier);

    m_search = new QLineEdit(capsule);
    m_search->setFrame(false);
    // The capsule is the field's background.
    m_search->setAttribute(Qt::WA_TranslucentBackground);
    QPalette transparent = m_search->palette();
    transparent.setColor(QPalette::Base, Qt::transparent);
    m_search->setPalette(transparent);
    m_search->setFont(uiFont(13.5));
    connect(m_capsule, &SearchCapsule::pressed, this, [this] { m_state.setFocus(MenuBarViewState::Focus::search); });
    m_search->installEventFilter(this);
    connect(m_search, &QLineEdit::textEdited, &m_state, &MenuBarViewState::setQuery);
    row->addWidget(m_search, 1);

    m_clear = symbolButton(QStringLiteral("xmark.circle.fill"), QStringLiteral("✕"), searchSymbolSide, secondary,
                           tr("Clear Search"), tr("Clear search (Esc)"), capsule);
    connect(m_clear, &QToolButton::clicked, &m_state, &MenuBarViewState::clearSearch);
    row->addWidget(m_clear);

    m_filterButton = symbolButton(QStringLiteral("line.3.horizontal.decrease"), QStringLiteral("☰"),
                                  searchSymbolSide, secondary, tr("Filter by type or app"), tr("Filter by type or app"),
                                  capsule);
    m_filterButton->setFixedSize(24, 24);
    connect(m_filterButton, &QToolButton::clicked, this, &MenuBarClipsView::showFilterMenu);
    row->addWidget(m_filterButton);
    return capsule;
}

QWidget *MenuBarClipsView::buildBottomBar()
{
    auto *bar = new QWidget(this);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(18, 9, 18, 9);
    row->setSpacing(8);
    const QColor label = sharedLabelColor();
    m_drawerButton = buildDrawerButton(bar);
    connect(m_drawerButton, &QToolButton::clicked, this, [this] { m_actions.openTamo(); });
    row->addWidget(m_drawerButton);
    row->addStretch();
    auto *explore = new ExploreFeaturesButton(true, bar);
    connect(explore, &QAbstractButton::clicked, this, [this] { m_model.onboarding().showWhatsNew(); });
    row->addWidget(explore);
    row->addWidget(new SyncIndicator(m_model, barButtonSide, SyncIndicator::Look::glass, bar));
    auto *settings = symbolButton(QStringLiteral("gearshape"), QStringLiteral("⚙"), barSymbolSide, label,
                                  tr("Settings"), tr("Settings (%1)").arg(keyNames(QStringLiteral("⌘,"))), bar);
    settings->setFixedSize(barButtonSide, barButtonSide);
    connect(settings, &QToolButton::clicked, this, [this] { m_model.showPreferences(); });
    row->addWidget(settings);
    auto *menu = symbolButton(QStringLiteral("ellipsis"), QStringLiteral("…"), barSymbolSide, label,
                              tr("TamoCove Menu"), tr("The TamoCove menu — or right-click the tray icon"), bar);
    menu->setFixedSize(barButtonSide, barButtonSide);
    connect(menu, &QToolButton::clicked, this, [this] { m_actions.showMenu(); });
    row->addWidget(menu);
    return bar;
}

// The symbol, the name and, when the main shortcut opens the drawer, that
// shortcut in the secondary colour, as labels inside one flat button.
QToolButton *MenuBarClipsView::buildDrawerButton(QWidget *bar)
{
    auto *button = toolButton({}, tr("Show every clip and pinboard"), bar);
    button->setAccessibleName(tr("Open TamoCove Panel"));
    auto *row = new QHBoxLayout(button);
    row->setContentsMargins(4, 0, 4, 0);
    row->setSpacing(7);
    const auto label = [&](const QString &text, const QColor &colour) {
        auto *part = new QLabel(text, button);
        part->setFont(uiFont(12.5, QFont::Medium));
        QPalette palette = part->palette();
        palette.setColor(QPalette::WindowText, colour);
        part->setPalette(palette);
        part->setAttribute(Qt::WA_TransparentForMouseEvents);
        row->addWidget(part);
        return part;
    };
    QLabel *symbol = label({}, sharedLabelColor());
    symbol->setPixmap(tintedSymbol(QStringLiteral("rectangle.bottomhalf.inset.filled"), barSymbolSide,
                                   sharedLabelColor(), devicePixelRatioF()));
    label(tr("Open TamoCove Panel"), sharedLabelColor());
    m_drawerShortcut = label({}, sharedSecondaryLabelColor());
    button->setFixedHeight(barButtonSide);
    return button;
}

// The scoped pinboard (while searching) and the active filters, before the field.
void MenuBarClipsView::syncCapsuleChips()
{
    // Later: the chip being clicked may be the one that asked for this.
    for (QWidget *chip : std::as_const(m_capsuleChips)) {
        chip->hide();
        chip->deleteLater();
    }
    m_capsuleChips.clear();
    int position = 1;
    const auto insert = [&](QAbstractButton *chip, auto remove) {
        connect(chip, &QAbstractButton::clicked, &m_state, remove);
        m_capsuleRow->insertWidget(position++, chip);
        m_capsuleChips.append(chip);
    };
    if (const PinboardPtr board = m_state.selectedBoard(); board && m_state.isSearching()) {
        insert(new MenuBarPinboardChip(board, m_search->parentWidget()), [this] { m_state.leaveBoardScope(); });
    }
    for (const SearchFilter &filter : m_state.filters()) {
        auto *chip = new FilterChip(filter, m_model.icons(), FilterChipMetrics::menuBar, m_search->parentWidget());
        insert(chip, [this, filter] { m_state.toggleFilter(filter); });
    }
}

void MenuBarClipsView::syncDrawerButton()
{
    const bool opensDrawer = m_defaults.string(keys::shortcutTarget) == rawValue(ShortcutTarget::drawer);
    m_drawerShortcut->setText(opensDrawer ? keyNames(m_defaults.string(keys::hotKeyDisplay).value_or(QString()))
                                          : QString());
    m_drawerShortcut->setVisible(opensDrawer);
    m_drawerButton->setFixedWidth(m_drawerButton->layout()->sizeHint().width());
}

void MenuBarClipsView::rebuildScopeChips()
{
    auto *row = static_cast<QHBoxLayout *>(m_chipsRow->layout());
    while (QLayoutItem *item = row->takeAt(0)) {
        if (QWidget *chip = item->widget()) {
            chip->hide();
            chip->deleteLater(); // it may be the chip being clicked
        }
        delete item;
    }
    const PinboardPtr scope = m_state.selectedBoard();
    QWidget *selected = nullptr;
    const auto addChip = [&](const QString &title, const QString &symbol, const QColor &color,
                             const QString &toolTip, const QUuid &boardID) {
        auto *chip = new PinboardTabLabel(title, symbol, color, m_chipsRow);
        chip->setToolTip(toolTip);
        chip->setFocusPolicy(Qt::NoFocus);
        chip->setSelected(scope ? scope->id() == boardID : boardID.isNull());
        connect(chip, &QAbstractButton::clicked, this, [this, boardID] {
            m_state.setBoardID(boardID);
            m_state.setFocus(MenuBarViewState::Focus::search);
        });
        row->addWidget(chip);
        chip->show(); // now, so the row lays it out before scrolling to it
        if (chip->isSelected())
            selected = chip;
        return chip;
    };
    addChip(tr("Recent"), QStringLiteral("clock"), {}, tr("Your clip history, newest first"), {});
    for (const PinboardPtr &board : m_state.pinboards()) {
        if (board->id() == m_state.renamingBoardID()) {
            row->addWidget(makeNameField(board));
            continue;
        }
        PinboardTabLabel *chip
            = addChip(board->name(), {}, board->color(), tr("Clips pinned to %1").arg(board->name()), board->id());
        chip->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(chip, &QWidget::customContextMenuRequested, this, [this, chip, board](const QPoint &position) {
            PinboardMenu{[this, board] { m_state.startBoardRename(board); },
                         [this, board] { m_state.deleteBoard(board); }, [this] { rebuildScopeChips(); }}
                .make(m_model, board, this)
                ->popup(chip->mapToGlobal(position));
        });
    }
    row->addStretch();

    // A new scope brings its chip into view, with the least scrolling.
    const QUuid scopeID = scope ? scope->id() : QUuid();
    if (selected && scopeID != m_chipsScope) {
        row->activate();
        m_chipsScroll->ensureWidgetVisible(selected, 0, 0);
    }
    m_chipsScope = scopeID;
}

QWidget *MenuBarClipsView::makeNameField(const PinboardPtr &board)
{
    auto *field = new PinboardNameField(m_chipsRow);
    field->setColor(board->color());
    field->setName(board->name());
    field->lineEdit()->setPlaceholderText(tr("Pinboard Name"));
    connect(field, &PinboardNameField::edited, this, [board](const QString &name) { board->setName(name); });
    // Return, Esc and the focus leaving all end the rename, once the event is over.
    connect(field, &PinboardNameField::commitRequested, &m_state, &MenuBarViewState::commitBoardRename,
            Qt::QueuedConnection);
    QTimer::singleShot(0, field, &PinboardNameField::focusName);
    return field;
}

void MenuBarClipsView::showFilterMenu()
{
    QMenu menu;
    QList<SearchFilter::App> apps;
    for (const MenuBarViewState::App &app : m_state.apps())
        apps.append({app.bundleID, app.name});
    fillFilterMenu(menu, {m_state.filters(), apps,
                          [this](const QString &bundleID) { return m_model.icons().appMenuIcon(bundleID); },
                          [this](const SearchFilter &filter) { m_state.toggleFilter(filter); },
                          [this] { m_state.clearFilters(); }});
    menu.exec(m_filterButton->mapToGlobal(QPoint(0, m_filterButton->height())));
}

void MenuBarClipsView::syncSearch()
{
    const PinboardPtr board = m_state.selectedBoard();
    if (m_search->text() != m_state.query())
        m_search->setText(m_state.query());
    m_search->setPlaceholderText(board ? tr("Search %1").arg(board->name()) : tr("Search Clipboard"));
    m_search->setAccessibleName(m_search->placeholderText());
    m_clear->setVisible(m_state.isSearching());
    syncCapsuleChips();
    m_chipsBox->setVisible(!m_state.isSearching());
    m_title->setText(m_state.scopeTitle());
    m_grid->setAccessibleName(m_state.scopeTitle());
    syncEmptyState();
    rebuildScopeChips();
}

void MenuBarClipsView::syncEmptyState()
{
    const std::optional<DrawerEmptyState> empty = m_state.emptyState();
    if (empty)
        m_empty->setState(*empty);
    m_empty->setVisible(bool(empty));
}

void MenuBarClipsView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_shadow) {
        m_shadow->setGeometry(rect());
        m_shadow->setShapeRect(QRectF(rect().marginsRemoved(frameRoom)));
    }
}

void MenuBarClipsView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous()) {
        m_restOfList->cancel();
        m_state.release();
    }
}

void MenuBarClipsView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintGlass(painter, roundedRect(QRectF(rect().marginsRemoved(frameRoom)), cornerRadius), GlassStyle::current());
}

void MenuBarClipsView::applyFocus(MenuBarViewState::Focus focus)
{
    m_capsule->setFocusRingShown(focus == MenuBarViewState::Focus::search);
    if (focus == MenuBarViewState::Focus::search)
        m_search->setFocus();
    else if (focus == MenuBarViewState::Focus::grid)
        m_grid->setFocus();
}

bool MenuBarClipsView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_search) {
        if (event->type() == QEvent::FocusIn && m_state.focus() != MenuBarViewState::Focus::search)
            m_state.setFocus(MenuBarViewState::Focus::search);
        if (event->type() == QEvent::KeyPress)
            return menubarkeys::searchKeyPress(m_state, fromQKeyEvent(*static_cast<QKeyEvent *>(event)))
                   == KeyResult::handled;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tamo
