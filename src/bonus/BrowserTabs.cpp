#include "bonus/BrowserTabs.h"

#include "platform/AccessibleTree.h"
#include "platform/Clock.h"

#include <QQueue>
#include <QUrl>

namespace tamo {

namespace {

const QString tabRole = QStringLiteral("page tab");
const QString tabListRole = QStringLiteral("page tab list");

bool isSkippedRole(const QString &role)
{
    // Subtrees too big to walk: web content, outlines, tables and lists.
    static const QSet<QString> skipped{QStringLiteral("document web"), QStringLiteral("tree"),
                                       QStringLiteral("tree table"),   QStringLiteral("table"),
                                       QStringLiteral("list"),         QStringLiteral("list box")};
    return skipped.contains(role);
}

bool isTextFieldRole(const QString &role)
{
    return role == QLatin1String("entry") || role == QLatin1String("text");
}

bool isNewTabBinding(QString binding)
{
    binding = binding.toLower().remove(QLatin1Char(' '));
    return binding == QLatin1String("<control>t") || binding == QLatin1String("<primary>t")
           || binding == QLatin1String("ctrl+t");
}

} // namespace

QSet<QString> BrowserTabs::tabCapableApps()
{
    return QSet<QString>{QStringLiteral("chromium"), QStringLiteral("google-chrome"), QStringLiteral("firefox"),
                         QStringLiteral("firefox-esr"), QStringLiteral("org.mozilla.firefox")}
           + fileManagers();
}

QSet<QString> BrowserTabs::fileManagers()
{
    return {QStringLiteral("org.gnome.Nautilus"), QStringLiteral("nemo"), QStringLiteral("caja"),
            QStringLiteral("thunar"), QStringLiteral("org.xfce.thunar")};
}

BrowserTabs::BrowserTabs(AccessibleTree &tree, const Clock &clock, QSet<QString> tabCapable)
    : m_tree(tree)
    , m_clock(clock)
    , m_tabCapable(std::move(tabCapable))
{
}

TabWindow BrowserTabs::window(qint64 pid, quint32 number, const QString &title, const QString &appID)
{
    return {pid, number, title, fileManagers().contains(appID)};
}

void BrowserTabs::enable()
{
    m_tree.enable();
}

bool BrowserTabs::Miss::isRecent(quint32 number, const QDateTime &now) const
{
    const auto found = at.constFind(number);
    return found != at.cend() && found->msecsTo(now) < missRetryMs;
}

std::optional<AccessibleRef> BrowserTabs::windowElement(const TabWindow &window)
{
    return m_tree.windowElement(window.pid, window.title);
}

bool BrowserTabs::isTabButton(const AccessibleRef &element)
{
    return m_tree.role(element) == tabRole;
}

void BrowserTabs::collectTabButtons(const QList<AccessibleRef> &elements, int depth, QList<AccessibleRef> &found)
{
    for (const AccessibleRef &element : elements) {
        if (isTabButton(element))
            found.append(element);
        else if (depth <= 1)
            collectTabButtons(m_tree.children(element).value_or(QList<AccessibleRef>()), depth + 1, found);
    }
}

std::optional<QList<AccessibleRef>> BrowserTabs::tabButtons(const AccessibleRef &container)
{
    const std::optional<QList<AccessibleRef>> children = m_tree.children(container);
    if (!children)
        return std::nullopt;
    QList<AccessibleRef> found;
    collectTabButtons(*children, 0, found);
    return found;
}

std::optional<AccessibleRef> BrowserTabs::search(
    const AccessibleRef &window, const std::function<bool(const AccessibleRef &, const QString &)> &test)
{
    QQueue<std::pair<AccessibleRef, int>> queue;
    queue.enqueue({window, 0});
    for (int visited = 0; !queue.isEmpty() && visited < maxVisited; ++visited) {
        const auto [element, depth] = queue.dequeue();
        const QString role = m_tree.role(element);
        if (test(element, role))
            return element;
        if (depth < maxDepth && !isSkippedRole(role)) {
            for (const AccessibleRef &child : m_tree.children(element).value_or(QList<AccessibleRef>()))
                queue.enqueue({child, depth + 1});
        }
    }
    return std::nullopt;
}

std::optional<AccessibleRef> BrowserTabs::findTabGroup(const AccessibleRef &window)
{
    const std::optional<AccessibleRef> container = search(window, [this](const AccessibleRef &element, const QString &role) {
        if (role == tabListRole)
            return !tabButtons(element).value_or(QList<AccessibleRef>()).isEmpty();
        return role == tabRole;
    });
    if (!container || m_tree.role(*container) == tabListRole)
        return container;
    // A lone tab: climb to the ancestor that holds the most tabs, at most two
    // levels up (strips that nest their tabs in groups).
    std::optional<AccessibleRef> best = m_tree.parent(*container);
    if (!best)
        return std::nullopt;
    qsizetype bestCount = tabButtons(*best).value_or(QList<AccessibleRef>()).size();
    for (int climb = 0; climb < 2; ++climb) {
        const std::optional<AccessibleRef> up = m_tree.parent(*best);
        const std::optional<QList<AccessibleRef>> children = up ? m_tree.children(*up) : std::nullopt;
        if (!children)
            break;
        QList<AccessibleRef> found;
        collectTabButtons(*children, 0, found);
        if (bestCount >= found.size())
            break;
        best = up;
        bestCount = found.size();
    }
    return best;
}

QList<AccessibleRef> BrowserTabs::cachedTabButtons(const TabWindow &window)
{
    if (const auto cached = m_tabGroups.constFind(window.number); cached != m_tabGroups.cend()) {
        // A strip the browser rebuilt leaves the cached one empty: search again.
        const QList<AccessibleRef> buttons = tabButtons(*cached).value_or(QList<AccessibleRef>());
        if (!buttons.isEmpty())
            return buttons;
    }
    m_tabGroups.remove(window.number);
    const QDateTime now = m_clock.now();
    if (m_tabGroupMisses.isRecent(window.number, now))
        return {};
    const std::optional<AccessibleRef> element = windowElement(window);
    const std::optional<AccessibleRef> group = element ? findTabGroup(*element) : std::nullopt;
    const std::optional<QList<AccessibleRef>> buttons = group ? tabButtons(*group) : std::nullopt;
    if (buttons && !buttons->isEmpty()) {
        m_tabGroupMisses.at.remove(window.number);
        m_tabGroups.insert(window.number, *group);
        return *buttons;
    }
    m_tabGroupMisses.at.insert(window.number, now);
    return {};
}

std::optional<QString> BrowserTabs::addressBarHost(const QString &text)
{
    QString address = text.trimmed();
    if (address.isEmpty() || address.contains(QLatin1Char(' ')))
        return std::nullopt;
    if (!address.contains(QLatin1String("://")))
        address.prepend(QStringLiteral("https://"));
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    // QUrl lowers the scheme; the address must have it in lower case already.
    const QString scheme = address.section(QLatin1String("://"), 0, 0);
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return std::nullopt;
    const QString host = url.host(QUrl::FullyEncoded);
    if (!host.contains(QLatin1Char('.')))
        return std::nullopt;
    return host.toLower();
}

std::optional<QString> BrowserTabs::fieldHost(const AccessibleRef &field)
{
    const std::optional<QString> text = m_tree.text(field);
    return text ? addressBarHost(*text) : std::nullopt;
}

std::optional<QString> BrowserTabs::cachedAddressBarHost(const TabWindow &window)
{
    if (const auto cached = m_addressFields.constFind(window.number); cached != m_addressFields.cend()) {
        if (const std::optional<QString> host = fieldHost(*cached))
            return host;
    }
    m_addressFields.remove(window.number);
    const QDateTime now = m_clock.now();
    if (m_addressFieldMisses.isRecent(window.number, now))
        return std::nullopt;
    const std::optional<AccessibleRef> element = windowElement(window);
    std::optional<QString> host;
    const std::optional<AccessibleRef> field =
        element ? search(*element,
                         [&](const AccessibleRef &candidate, const QString &role) {
                             return isTextFieldRole(role) && (host = fieldHost(candidate)).has_value();
                         })
                : std::nullopt;
    if (!field) {
        m_addressFieldMisses.at.insert(window.number, now);
        return std::nullopt;
    }
    m_addressFieldMisses.at.remove(window.number);
    m_addressFields.insert(window.number, *field);
    return host;
}

QString BrowserTabs::tabTitle(const AccessibleRef &tab)
{
    const QString name = m_tree.name(tab);
    return name.isEmpty() ? m_tree.description(tab) : name;
}

void BrowserTabs::rememberHost(const QString &title, const QString &host)
{
    if (title.isEmpty())
        return;
    m_titleOrder.removeOne(title);
    if (m_titleOrder.size() >= rememberedTitles)
        m_hostsByTitle.remove(m_titleOrder.takeFirst());
    m_hostsByTitle.insert(title, host);
    m_titleOrder.append(title);
}

std::optional<QString> BrowserTabs::rememberedHost(const QString &title) const
{
    const auto found = m_hostsByTitle.constFind(title);
    return found == m_hostsByTitle.cend() ? std::nullopt : std::optional(*found);
}

QList<BrowserTab> BrowserTabs::tabs(const TabWindow &window)
{
    QList<BrowserTab> tabs;
    for (const AccessibleRef &button : cachedTabButtons(window)) {
        BrowserTab tab;
        tab.element = button;
        tab.title = tabTitle(button);
        tab.isSelected = m_tree.isSelected(button);
        tab.isFolder = window.isFileManager;
        if (!window.isFileManager)
            tab.host = rememberedHost(tab.title);
        tabs.append(tab);
    }
    // Only the current tab shows its address; the others keep the host seen
    // when they were current.
    const auto current = std::find_if(tabs.begin(), tabs.end(), [](const BrowserTab &tab) { return tab.isSelected; });
    if (current != tabs.end() && !window.isFileManager) {
        if (const std::optional<QString> host = cachedAddressBarHost(window)) {
            current->host = host;
            rememberHost(current->title, *host);
        }
    }
    return tabs;
}

void BrowserTabs::rememberSelectedTab(const TabWindow &window)
{
    if (window.isFileManager)
        return;
    for (const AccessibleRef &button : cachedTabButtons(window)) {
        if (!m_tree.isSelected(button))
            continue;
        if (const std::optional<QString> host = cachedAddressBarHost(window))
            rememberHost(tabTitle(button), *host);
        return;
    }
}

void BrowserTabs::pruneCaches(const QSet<quint32> &keep)
{
    const auto prune = [&keep](auto &cache) {
        for (auto it = cache.begin(); it != cache.end();)
            it = keep.contains(it.key()) ? std::next(it) : cache.erase(it);
    };
    prune(m_tabGroups);
    prune(m_tabGroupMisses.at);
    prune(m_addressFields);
    prune(m_addressFieldMisses.at);
}

bool BrowserTabs::pressNewTabItem(qint64 pid)
{
    const std::optional<AccessibleRef> app = m_tree.application(pid);
    if (!app)
        return false;
    // Menu bars sit in the app's windows; toolkits nest their items one or
    // two levels below (bar → menu → item, or bar → item → menu → item).
    for (const AccessibleRef &window : m_tree.children(*app).value_or(QList<AccessibleRef>())) {
        const std::optional<AccessibleRef> menuBar =
            search(window, [](const AccessibleRef &, const QString &role) { return role == QLatin1String("menu bar"); });
        if (!menuBar)
            continue;
        const std::optional<AccessibleRef> item = search(*menuBar, [this](const AccessibleRef &element, const QString &role) {
            return role == QLatin1String("menu item") && isNewTabBinding(m_tree.keyBinding(element));
        });
        if (item)
            return m_tree.press(*item);
    }
    return false;
}

bool BrowserTabs::pressTab(const BrowserTab &tab)
{
    return m_tree.press(tab.element);
}

} // namespace tamo
