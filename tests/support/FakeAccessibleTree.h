#pragma once

#include "platform/AccessibleTree.h"

#include <QHash>

namespace tamo::testing {

// An accessibility tree the test builds node by node; every read is counted.
class FakeAccessibleTree final : public AccessibleTree
{
public:
    struct Node
    {
        QString role;
        QString name;
        QString description;
        std::optional<QString> text;
        bool selected = false;
        QString keyBinding;
        QString parent;
        QStringList children;
    };

    // Adds a node under the parent (empty: a top level) and returns its path.
    QString add(const QString &parent, const QString &role, const QString &name = {})
    {
        const QString path = QStringLiteral("/node/%1").arg(m_nextNode++);
        Node node;
        node.role = role;
        node.name = name;
        node.parent = parent;
        m_nodes.insert(path, node);
        if (!parent.isEmpty())
            m_nodes[parent].children.append(path);
        return path;
    }
    Node &node(const QString &path) { return m_nodes[path]; }
    static AccessibleRef ref(const QString &path) { return {QStringLiteral(":1.1"), path}; }

    QHash<qint64, QString> applications;
    QHash<QString, QString> windowsByTitle;
    QStringList pressed;
    int reads = 0;
    int enableCount = 0;

    void enable() override { ++enableCount; }
    std::optional<AccessibleRef> windowElement(qint64, const QString &title) override
    {
        ++reads;
        const auto found = windowsByTitle.constFind(title);
        return found == windowsByTitle.cend() ? std::nullopt : std::optional(ref(*found));
    }
    std::optional<AccessibleRef> application(qint64 pid) override
    {
        const auto found = applications.constFind(pid);
        return found == applications.cend() ? std::nullopt : std::optional(ref(*found));
    }
    QString role(const AccessibleRef &element) override { return read(element).role; }
    std::optional<QList<AccessibleRef>> children(const AccessibleRef &element) override
    {
        if (!m_nodes.contains(element.path))
            return std::nullopt;
        QList<AccessibleRef> refs;
        for (const QString &child : read(element).children)
            refs.append(ref(child));
        return refs;
    }
    std::optional<AccessibleRef> parent(const AccessibleRef &element) override
    {
        const QString parent = read(element).parent;
        return parent.isEmpty() ? std::nullopt : std::optional(ref(parent));
    }
    QString name(const AccessibleRef &element) override { return read(element).name; }
    QString description(const AccessibleRef &element) override { return read(element).description; }
    std::optional<QString> text(const AccessibleRef &element) override { return read(element).text; }
    bool isSelected(const AccessibleRef &element) override { return read(element).selected; }
    QString keyBinding(const AccessibleRef &element) override { return read(element).keyBinding; }
    bool press(const AccessibleRef &element) override
    {
        pressed.append(element.path);
        return m_nodes.contains(element.path);
    }

    void remove(const QString &path)
    {
        const QString parent = m_nodes.value(path).parent;
        if (!parent.isEmpty())
            m_nodes[parent].children.removeAll(path);
        m_nodes.remove(path);
    }

private:
    Node read(const AccessibleRef &element)
    {
        ++reads;
        return m_nodes.value(element.path);
    }

    QHash<QString, Node> m_nodes;
    int m_nextNode = 0;
};

} // namespace tamo::testing
