#include "app/AddressCheck.h"

#include <QHostInfo>
#include <QObject>

#include <algorithm>

namespace tamo {

namespace {

// Blocks no preview may reach: this computer, the local networks, and what is
// reserved for other uses than public hosts.
const QList<QPair<QHostAddress, int>> &nonPublicBlocks()
{
    static const QList<QPair<QHostAddress, int>> blocks = [] {
        QList<QPair<QHostAddress, int>> parsed;
        for (const char *block : {"0.0.0.0/8", "10.0.0.0/8", "100.64.0.0/10", "127.0.0.0/8", "169.254.0.0/16",
                                  "172.16.0.0/12", "192.0.0.0/24", "192.0.2.0/24", "192.168.0.0/16", "198.18.0.0/15",
                                  "198.51.100.0/24", "203.0.113.0/24", "224.0.0.0/4", "240.0.0.0/4", "::/128",
                                  "::1/128", "64:ff9b:1::/48", "100::/64", "2001:db8::/32", "fc00::/7", "fe80::/10",
                                  "fec0::/10", "ff00::/8"})
            parsed.append(QHostAddress::parseSubnet(QString::fromLatin1(block)));
        return parsed;
    }();
    return blocks;
}

// Names the local network answers for itself.
bool isLocalName(const QString &host)
{
    if (!host.contains(u'.') || host == u"localhost")
        return true; // a single label is looked up in the local search domains
    for (const char *suffix : {".localhost", ".local", ".lan", ".internal", ".intranet", ".home.arpa"}) {
        if (host.endsWith(QLatin1String(suffix)))
            return true;
    }
    return false;
}

} // namespace

bool isPublicAddress(const QHostAddress &address)
{
    if (address.isNull())
        return false;
    // An IPv4 address written as IPv6 is judged as itself.
    bool mapped = false;
    const quint32 ipv4 = address.toIPv4Address(&mapped);
    const QHostAddress judged = mapped ? QHostAddress(ipv4) : address;
    return std::none_of(nonPublicBlocks().cbegin(), nonPublicBlocks().cend(),
                        [&](const QPair<QHostAddress, int> &block) { return judged.isInSubnet(block); });
}

bool isPublicWebURL(const QUrl &url)
{
    if (!url.isValid() || url.scheme().compare(u"https", Qt::CaseInsensitive) != 0)
        return false;
    QString host = url.host().toLower();
    if (host.endsWith(u'.'))
        host.chop(1);
    if (host.isEmpty())
        return false;
    if (const QHostAddress literal(host); !literal.isNull())
        return isPublicAddress(literal);
    return !isLocalName(host);
}

void AddressCheck::systemLookup(const QString &host, QObject *context,
                                std::function<void(const QList<QHostAddress> &)> found)
{
    QHostInfo::lookupHost(host, context, [found = std::move(found)](const QHostInfo &info) {
        found(info.error() == QHostInfo::NoError ? info.addresses() : QList<QHostAddress>());
    });
}

void AddressCheck::check(const QUrl &url, QObject *context, std::function<void(Verdict)> verdict) const
{
    if (!allowsURL(url)) {
        QMetaObject::invokeMethod(context, [verdict = std::move(verdict)] { verdict(Verdict::refused); },
                                  Qt::QueuedConnection);
        return;
    }
    lookup(url.host(), context,
           [allowsAddress = allowsAddress, verdict = std::move(verdict)](const QList<QHostAddress> &addresses) {
               if (addresses.isEmpty())
                   verdict(Verdict::unresolved);
               else
                   verdict(std::all_of(addresses.cbegin(), addresses.cend(), allowsAddress) ? Verdict::allowed
                                                                                            : Verdict::refused);
           });
}

} // namespace tamo
