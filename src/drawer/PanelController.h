#pragma once

#include "app/AppHooks.h"
#include "drawer/TimeScale.h"

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QTimer>

#include <memory>
#include <optional>

class QWidget;

namespace tamo {

class AppModel;
class Defaults;
class Screens;
class TamoPanel;
class ToastController;
class WindowAnimation;

// The drawer's two windows: the strip that slides up from the bottom of the
// screen under the pointer, and the preview window that remembers where the
// user left it. Shows and hides them, closes the drawer when the keyboard
// goes to another app, and fronts the notices.
//
// Built before the model (the model is made with it) and given the model
// right after. The strip and the preview host whatever content they are
// given; until then the strip is an empty glass card.
class PanelController final : public QObject, public DrawerPanel
{
    Q_OBJECT

public:
    PanelController(Defaults &defaults, Screens &screens, TimeScale timeScale = {}, QObject *parent = nullptr);
    ~PanelController() override;

    void setModel(AppModel *model);
    // The panels own what they host; replacing content deletes the old one.
    void setStripContent(QWidget *content);
    void setPreviewContent(QWidget *content);

    TamoPanel &stripPanel() { return *m_stripPanel; }
    TamoPanel &previewPanel() { return *m_previewPanel; }
    ToastController &toast() { return *m_toast; }

    // DrawerPanel
    bool isVisible() const override;
    void showStrip() override;
    void hide(bool animated) override;
    void showPreview() override;
    void closePreview() override;
    void showPasteNotice(const QString &message) override;
    void showReadyToast(const QString &message) override;
    void showToast(const QString &message, const QString &symbol) override;

    // Where the preview opens, in the screens' convention: where the user
    // left it, else centred above the drawer or on its screen.
    QRectF placePreview() const;
    // Re-reads "showDuringScreenSharing" for every panel.
    void applySharingType();

    int hideGeneration() const { return m_hideGeneration; }

signals:
    // The preview closed over the menu-bar panel, which should take the keyboard back.
    void menuBarRefocusRequested();

private:
    void panelDidResignKey();
    void checkKeyWindows();
    void savePreviewFrame();
    void endEditing();
    bool isMenuBarPanelKey() const;
    QRect toQt(const QRectF &frame) const;

    Defaults &m_defaults;
    Screens &m_screens;
    TimeScale m_timeScale;
    QPointer<AppModel> m_model;
    std::unique_ptr<TamoPanel> m_stripPanel;
    std::unique_ptr<TamoPanel> m_previewPanel;
    std::unique_ptr<ToastController> m_toast;
    WindowAnimation *m_stripAnimation;
    int m_hideGeneration = 0;
    // Runs while the strip waits for the window manager to give it the
    // keyboard back from the closed preview: meanwhile no window of ours has it.
    QTimer m_keyHandOver;
    // False from the moment a hide starts: nothing may give the keyboard back
    // to a strip that is going away.
    bool m_stripShown = false;
    QRectF m_stripFrame;                    // where the strip was last put
};

} // namespace tamo
