#include "app/AddressCheck.h"

#include <QHostInfo>
#include <QObject>
#include <QtEndian>

#include <algorithm>
#include <optional>

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
                                  "198.51.100.0/24", "203.0.113.0/24", "224.0.0.0/4", "240.0.0.0/4", "::/96",
                                  "64:ff9b:1::/48", "100::/64", "2001:db8::/32", "fc00::/7", "fe80::/10",
                                  "fec0::/10", "ff00::/8"})
            parsed.append(QHostAddress::parseSubnet(QString::fromLatin1(block)));
        return parsed;
    }();
    return blocks;
}

// The IPv4 address an IPv6 one carries and leads to: written as IPv6
// (::ffff:0:0/96), translated by NAT64 (64:ff9b::/96) or tunnelled by 6to4
// (2002::/16).
std::optional<QHostAddress> carriedIPv4(const QHostAddress &address)
{
    static const auto mapped = QHostAddress::parseSubnet(QStringLiteral("::ffff:0:0/96"));
    static const auto nat64 = QHostAddress::parseSubnet(QStringLiteral("64:ff9b::/96"));
    static const auto sixToFour = QHostAddress::parseSubnet(QStringLiteral("2002::/16"));
    const Q_IPV6ADDR bytes = address.toIPv6Address();
    const auto ipv4At = [&](int offset) { return QHostAddress(qFromBigEndian<quint32>(bytes.c + offset)); };
    if (address.isInSubnet(mapped) || address.isInSubnet(nat64))
        return ipv4At(12);
    if (address.isInSubnet(sixToFour))
        return ipv4At(2);
    return std::nullopt;
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
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        if (const std::optional<QHostAddress> ipv4 = carriedIPv4(address))
            return isPublicAddress(*ipv4);
    }
    return std::none_of(nonPublicBlocks().cbegin(), nonPublicBlocks().cend(),
                        [&](const QPair<QHostAddress, int> &block) { return address.isInSubnet(block); });
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

void AddressCheck::check(const QUrl &url, QObject *context,
                         std::function<void(Verdict, const QList<QHostAddress> &)> verdict) const
{
    if (!allowsURL(url)) {
        QMetaObject::invokeMethod(context, [verdict = std::move(verdict)] { verdict(Verdict::refused, {}); },
                                  Qt::QueuedConnection);
        return;
    }
    auto judge = [allowsAddress = allowsAddress, verdict = std::move(verdict)](const QList<QHostAddress> &addresses) {
        if (addresses.isEmpty())
            verdict(Verdict::unresolved, {});
        else if (std::all_of(addresses.cbegin(), addresses.cend(), allowsAddress))
            verdict(Verdict::allowed, addresses);
        else
            verdict(Verdict::refused, {});
    };
    if (const QHostAddress literal(url.host()); !literal.isNull()) {
        QMetaObject::invokeMethod(context, [judge = std::move(judge), literal] { judge({literal}); },
                                  Qt::QueuedConnection);
        return;
    }
    lookup(url.host(), context, std::move(judge));
}

} // namespace tamo
