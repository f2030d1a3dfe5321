#pragma once

#include "bonus/BrowserTab.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <optional>

namespace tamo {

class AccessibleTree;
class Clock;

// One window whose tabs are asked for.
struct TabWindow
{
    qint64 pid = 0;
    quint32 number = 0;
    QString title;
    bool isFileManager = false;
};

// The tabs of browser and file-manager windows, read from their
// accessibility trees only: the tab strip, which tab is current and the host
// of the page in the address field. Searches are bounded (800 elements, 8
// levels, big subtrees such as web content skipped), what they find is cached
// per window, and a search that found nothing is not repeated for 5 s.
class BrowserTabs
{
public:
    static constexpr int maxVisited = 800;
    static constexpr int maxDepth = 8;
    static constexpr qint64 missRetryMs = 5000;
    static constexpr qsizetype rememberedTitles = 500;

    // Desktop ids of the apps whose windows get tab counts and tab rows.
    static QSet<QString> tabCapableApps();
    static QSet<QString> fileManagers();

    BrowserTabs(AccessibleTree &tree, const Clock &clock, QSet<QString> tabCapable = tabCapableApps());

    bool isTabCapable(const QString &appID) const { return m_tabCapable.contains(appID); }
    static TabWindow window(qint64 pid, quint32 number, const QString &title, const QString &appID);
    QList<BrowserTab> tabs(const TabWindow &window);
    QList<AccessibleRef> cachedTabButtons(const TabWindow &window);
    // Remembers the host of the window's current tab under its title.
    void rememberSelectedTab(const TabWindow &window);
    void pruneCaches(const QSet<quint32> &keep);
    // Presses the app's menu item bound to Ctrl+T; false when it has none.
    bool pressNewTabItem(qint64 pid);
    bool pressTab(const BrowserTab &tab);
    // Switches on the trees of apps that expose them only on request.
    void enable();

    // The host an address-field text names: http or https only, with a dot,
    // lower case; "https://" is assumed without a scheme.
    static std::optional<QString> addressBarHost(const QString &text);
    std::optional<QString> rememberedHost(const QString &title) const;

private:
    struct Miss
    {
        QHash<quint32, QDateTime> at;
        bool isRecent(quint32 number, const QDateTime &now) const;
    };

    std::optional<AccessibleRef> windowElement(const TabWindow &window);
    bool isTabButton(const AccessibleRef &element);
    void collectTabButtons(const QList<AccessibleRef> &elements, int depth, QList<AccessibleRef> &found);
    std::optional<QList<AccessibleRef>> tabButtons(const AccessibleRef &container);
    // The first element, breadth first within the bounds, that passes.
    std::optional<AccessibleRef> search(const AccessibleRef &window,
                                        const std::function<bool(const AccessibleRef &, const QString &role)> &test);
    std::optional<AccessibleRef> findTabGroup(const AccessibleRef &window);
    std::optional<QString> fieldHost(const AccessibleRef &field);
    std::optional<QString> cachedAddressBarHost(const TabWindow &window);
    QString tabTitle(const AccessibleRef &tab);
    void rememberHost(const QString &title, const QString &host);

    AccessibleTree &m_tree;
    const Clock &m_clock;
    QSet<QString> m_tabCapable;
    QHash<quint32, AccessibleRef> m_tabGroups;
    Miss m_tabGroupMisses;
    QHash<quint32, AccessibleRef> m_addressFields;
    Miss m_addressFieldMisses;
    QHash<QString, QString> m_hostsByTitle;
    QStringList m_titleOrder; // oldest first
};

} // namespace tamo
