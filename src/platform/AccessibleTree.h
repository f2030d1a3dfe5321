#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace tamo {

// One element of another app's accessibility tree: the bus name of the app
// and the object path of the element.
struct AccessibleRef
{
    QString service;
    QString path;

    bool isValid() const { return !service.isEmpty() && !path.isEmpty(); }
    bool operator==(const AccessibleRef &) const = default;
};

// Other apps' user interfaces as they describe them to screen readers. Every
// read is bounded by a short time-out; a read that fails or times out counts
// as missing. Role names are the desktop's own ("page tab", "entry",
// "document web", …).
class AccessibleTree
{
public:
    virtual ~AccessibleTree() = default;

    // Asks toolkits to expose their trees; apps started earlier may join later.
    virtual void enable() = 0;

    // The top-level element standing for the app's window with this title
    // (the app's only window when titles do not tell).
    virtual std::optional<AccessibleRef> windowElement(qint64 pid, const QString &title) = 0;
    virtual std::optional<AccessibleRef> application(qint64 pid) = 0;

    virtual QString role(const AccessibleRef &element) = 0;
    virtual std::optional<QList<AccessibleRef>> children(const AccessibleRef &element) = 0;
    virtual std::optional<AccessibleRef> parent(const AccessibleRef &element) = 0;
    virtual QString name(const AccessibleRef &element) = 0;
    virtual QString description(const AccessibleRef &element) = 0;
    // The text of an editable field; none when it has no text interface.
    virtual std::optional<QString> text(const AccessibleRef &element) = 0;
    virtual bool isSelected(const AccessibleRef &element) = 0;
    // The key binding of the element's first action ("<Control>t").
    virtual QString keyBinding(const AccessibleRef &element) = 0;
    // Runs the element's first action (press, select); false when it failed.
    virtual bool press(const AccessibleRef &element) = 0;
};

} // namespace tamo
