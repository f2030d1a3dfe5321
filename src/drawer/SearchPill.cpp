#include "drawer/SearchPill.h"

#include "app/AppIcons.h"
#include "app/AppModel.h"
#include "cards/GlassRim.h"
#include "cards/GlassSurface.h"
#include "cards/Motion.h"
#include "cards/ViewStyles.h"
#include "drawer/FilterChip.h"
#include "drawer/FilterMenu.h"
#include "drawer/SearchQueryView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QToolButton>

#include <algorithm>

namespace tamo {

namespace {

constexpr double fontPoints = 14.5;
constexpr int symbolSide = 15;
constexpr int spacing = 6;
constexpr int leadingPadding = 12;
constexpr int trailingPadding = 10;
constexpr int spaceBeforeButtons = 8;
constexpr int filterButtonSide = 26;
constexpr qreal strokeWidth = 2.5;
// One fade out and back in: 0.55 s each way.
constexpr int blinkMs = 1100;

QPixmap secondarySymbol(const QString &name, const QWidget &widget)
{
    return tintedSymbol(name, symbolSide, sharedSecondaryLabelColor(), widget.devicePixelRatioF());
}

// A borderless button showing a symbol, or the fallback glyph where the icon
// theme lacks the symbol.
QToolButton *symbolButton(const QString &symbol, const QString &fallback, const QString &toolTip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    const QPixmap pixmap = secondarySymbol(symbol, *parent);
    button->setIcon(pixmap);
    button->setIconSize(QSize(symbolSide, symbolSide));
    button->setText(fallback);
    button->setToolTip(toolTip);
    button->setAccessibleName(toolTip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

// The caret's opacity along one blink, easing out to 0 and back to 1.
qreal caretOpacity(qreal progress)
{
    return 1 - easedThereAndBack(progress);
}

} // namespace

SearchPill::SearchPill(AppModel &model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_row(new QHBoxLayout(this))
    , m_query(new SearchQueryView(this))
    , m_clear(symbolButton(QStringLiteral("xmark.circle.fill"), QStringLiteral("✕"),
                           QStringLiteral("Clear search (Esc)"), this))
    , m_filter(symbolButton(QStringLiteral("line.3.horizontal.decrease"), QStringLiteral("☰"),
                            QStringLiteral("Filter by type or app"), this))
    , m_menu(new QMenu(this))
{
    setFont(uiFont(fontPoints));
    setMinimumSize(minimumWidth, fixedHeight);
    setMaximumSize(maximumWidth, fixedHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    auto *magnifier = new QLabel(this);
    magnifier->setPixmap(secondarySymbol(QStringLiteral("magnifyingglass"), *this));
    magnifier->setContentsMargins(0, 0, 2, 0);

    m_filter->setFixedSize(filterButtonSide, filterButtonSide);
    m_filter->setMenu(m_menu);
    m_filter->setPopupMode(QToolButton::InstantPopup);
    m_filter->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));

    m_row->setContentsMargins(leadingPadding, 0, trailingPadding, 0);
    m_row->setSpacing(spacing);
    m_row->addWidget(magnifier);
    m_row->addWidget(m_query, 1);
    m_row->addSpacing(spaceBeforeButtons);
    m_row->addWidget(m_clear);
    m_row->addWidget(m_filter);

    m_blink.setStartValue(0.0);
    m_blink.setEndValue(1.0);
    m_blink.setDuration(blinkMs);
    m_blink.setLoopCount(-1);
    connect(&m_blink, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &progress) { m_query->setCaretOpacity(caretOpacity(progress.toReal())); });

    connect(m_clear, &QToolButton::clicked, &m_model, &AppModel::resetSearch);
    connect(m_menu, &QMenu::aboutToShow, this, &SearchPill::fillFilterMenu);
    connect(&m_model, &AppModel::searchTextChanged, this, &SearchPill::showQuery);
    connect(&m_model, &AppModel::searchFiltersChanged, this, &SearchPill::showFilters);
    showFilters();
}

QSize SearchPill::sizeHint() const
{
    return {maximumWidth, fixedHeight};
}

void SearchPill::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_apps.clear();
    for (const AppModel::SourceAppFilter &app : m_model.sourceAppFilters(offeredApps))
        m_apps.append({app.bundleID, app.name});
    m_blink.stop();
    m_query->setCaretOpacity(1);
    m_blink.start();
}

void SearchPill::hideEvent(QHideEvent *event)
{
    m_blink.stop();
    QWidget::hideEvent(event);
}

void SearchPill::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal inset = strokeWidth / 2;
    const QPainterPath shape = capsule(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
    paintGlass(painter, shape, GlassStyle::current());
    painter.strokePath(shape, QPen(palette().color(QPalette::Highlight), strokeWidth));
}

// Chips are kept by filter, so a chip survives changes to the others.
void SearchPill::showFilters()
{
    const QList<SearchFilter> filters = m_model.searchFilters();
    QList<FilterChip *> kept;
    for (FilterChip *chip : std::as_const(m_chips)) {
        m_row->removeWidget(chip);
        if (filters.contains(chip->filter())) {
            kept.append(chip);
        } else {
            // Later, as the chip's own click may have brought us here.
            chip->hide();
            chip->deleteLater();
        }
    }
    m_chips.clear();
    for (const SearchFilter &filter : filters) {
        const auto found = std::find_if(kept.cbegin(), kept.cend(),
                                        [&](const FilterChip *chip) { return chip->filter() == filter; });
        FilterChip *chip = found != kept.cend() ? *found : makeChip(filter);
        m_row->insertWidget(1 + m_chips.size(), chip);
        m_chips.append(chip);
    }
    showQuery();
}

FilterChip *SearchPill::makeChip(const SearchFilter &filter)
{
    auto *chip = new FilterChip(filter, m_model.icons(), FilterChipMetrics::drawer, this);
    connect(chip, &FilterChip::clicked, this, [this, filter] { m_model.toggleSearchFilter(filter); });
    chip->show();
    return chip;
}

void SearchPill::showQuery()
{
    const QString text = m_model.searchText();
    m_query->setText(text);
    m_query->setPlaceholderShown(text.isEmpty() && m_model.searchFilters().isEmpty());
}

void SearchPill::fillFilterMenu()
{
    FilterMenuSource source;
    source.active = m_model.searchFilters();
    source.apps = m_apps;
    source.appMenuIcon = [this](const QString &bundleID) { return m_model.icons().appMenuIcon(bundleID); };
    source.toggle = [this](const SearchFilter &filter) { m_model.toggleSearchFilter(filter); };
    source.clearFilters = [this] {
        m_model.setSearchFilters({});
        m_model.bumpFocusToken();
    };
    tamo::fillFilterMenu(*m_menu, source);
}

} // namespace tamo
