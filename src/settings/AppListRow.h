#pragma once

#include <QWidget>

class QLabel;

namespace tamo {

class Workspace;

// This app's own bundle identifier: its desktop entry. Lists never take it.
inline const QString ownBundleID = QStringLiteral("tamocove");

// The name under which an app is listed: its desktop entry's name, else its
// bundle identifier.
QString appDisplayName(const Workspace &workspace, const QString &bundleID);

// One app of a list: its icon and name, drawn selected or not; a click
// selects it.
class AppListRow : public QWidget
{
    Q_OBJECT

public:
    AppListRow(const Workspace &workspace, const QString &bundleID, QWidget *parent = nullptr);

    QString bundleID() const { return m_bundleID; }
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }

signals:
    void clicked(const QString &bundleID);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QString m_bundleID;
    QLabel *m_name;
    bool m_selected = false;
};

} // namespace tamo
