#include "settings/PreferencesWindow.h"

#include "cards/ViewStyles.h"
#include "platform/QuitShortcut.h"
#include "settings/SettingsIcon.h"
#include "settings/SettingsNavigation.h"
#include "settings/SettingsPages.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QScrollArea>
#include <QShowEvent>
#include <QShortcut>

#include <utility>

namespace tamo {

namespace {

constexpr int sidebarWidth = 200;

} // namespace

PreferencesWindow::PreferencesWindow(SettingsNavigation &navigation, const SettingsPages &pages, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::WindowStaysOnTopHint)
    , m_navigation(navigation)
    , m_pages(pages)
    , m_sidebar(new QListWidget(this))
    , m_detail(new QScrollArea(this))
{
    setFixedSize(fixedSize);
    setObjectName(QStringLiteral("settingsWindow"));
    // Ctrl+W closes it, as it closes other windows, and Ctrl+Q quits; a
    // shortcut being recorded takes the keys first.
    connect(new QShortcut(QKeySequence::Close, this), &QShortcut::activated, this, &QWidget::close);
    addQuitShortcut(*this);

    m_sidebar->setAccessibleName(QStringLiteral("Settings pages"));
    m_sidebar->setFixedWidth(sidebarWidth);
    m_sidebar->setIconSize(QSize(20, 20));
    m_sidebar->setSpacing(1);
    m_sidebar->setFrameShape(QFrame::NoFrame);
    m_sidebar->setFont(uiFont(13));
    m_sidebar->setSelectionMode(QAbstractItemView::SingleSelection);
    QPalette sidebarColours = m_sidebar->palette();
    sidebarColours.setColor(QPalette::Base, palette().color(QPalette::Window).darker(106));
    m_sidebar->setPalette(sidebarColours);
    for (const SettingsPage page : allSettingsPages()) {
        auto *row = new QListWidgetItem(settingsPageIcon(page), pageInfo(page).title, m_sidebar);
        row->setSizeHint(QSize(sidebarWidth - 8, 30));
    }

    m_detail->setWidgetResizable(true);
    m_detail->setFrameShape(QFrame::NoFrame);
    m_detail->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_sidebar);
    layout->addWidget(m_detail, 1);

    // A click on empty sidebar space deselects; the page shown stays selected.
    connect(m_sidebar, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem *> chosen = m_sidebar->selectedItems();
        if (chosen.isEmpty()) {
            m_sidebar->setCurrentRow(int(m_navigation.page()));
            return;
        }
        if (const auto page = settingsPageAt(m_sidebar->row(chosen.first())))
            m_navigation.setPage(*page);
    });
    connect(&m_navigation, &SettingsNavigation::pageChanged, this, &PreferencesWindow::showPage);
    showPage(m_navigation.page());
}

void PreferencesWindow::showEvent(QShowEvent *event)
{
    // Not for a window the window manager only restored.
    if (!event->spontaneous() && std::exchange(m_closedSinceBuilt, false))
        showPage(m_navigation.page());
    QWidget::showEvent(event);
}

void PreferencesWindow::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous())
        m_closedSinceBuilt = true;
    QWidget::hideEvent(event);
}

void PreferencesWindow::showPage(SettingsPage page)
{
    m_sidebar->setCurrentRow(int(page));
    setWindowTitle(pageInfo(page).title);
    m_detail->setAccessibleName(pageInfo(page).title);
    // The old page goes first, so it lets go of what it holds (a shortcut
    // being recorded) before the new one starts.
    delete m_detail->takeWidget();
    m_page = m_pages.build(page);
    if (m_page)
        m_detail->setWidget(m_page);
}

} // namespace tamo
