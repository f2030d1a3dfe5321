#pragma once

#include <QHostAddress>
#include <QList>
#include <QUrl>

#include <functional>

class QObject;

namespace tamo {

// Neither loopback, private, shared (carrier NAT), link-local, multicast,
// documentation nor otherwise reserved: an address on the public internet.
bool isPublicAddress(const QHostAddress &address);

// https to a public address or to a dotted name that is not one of the local
// network's own (localhost, .local, .lan, .internal, .home.arpa).
bool isPublicWebURL(const QUrl &url);

// Which web addresses a fetch made on its own may reach: a copied link to a
// router's admin page, a machine on the local network or this computer is
// never requested. The address is checked as written, then every network
// address its host name stands for, so a public name pointing inwards is
// refused too. A fetch connects to the addresses that were checked, never
// to those of a second lookup, which may answer differently.
struct AddressCheck
{
    enum class Verdict {
        allowed,
        refused,    // for good
        unresolved, // the name could not be looked up now: maybe later
    };
    // Every address the host stands for; none when the lookup failed.
    using Lookup = std::function<void(const QString &host, QObject *context,
                                      std::function<void(const QList<QHostAddress> &)> found)>;

    static void systemLookup(const QString &host, QObject *context,
                             std::function<void(const QList<QHostAddress> &)> found);

    std::function<bool(const QUrl &)> allowsURL = isPublicWebURL;
    std::function<bool(const QHostAddress &)> allowsAddress = isPublicAddress;
    Lookup lookup = systemLookup;

    // `verdict` runs once, later, on `context`'s thread, unless `context` is
    // gone; when allowed, with the addresses that passed, in the lookup's order.
    void check(const QUrl &url, QObject *context,
               std::function<void(Verdict, const QList<QHostAddress> &)> verdict) const;
};

} // namespace tamo
