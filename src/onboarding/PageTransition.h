#pragma once

#include <QLabel>

namespace tamo {

// The page that was shown, fading out over the one now shown while it slides
// away the way the user went; it removes itself when done and takes no clicks.
class PageTransition final : public QLabel
{
    Q_OBJECT

public:
    static constexpr int durationMs = 240;
    static constexpr int slideDistance = 36;

    // Takes a picture of `area` as it is now; call before the page changes.
    // Nothing when `area` is not on screen. `forward`: towards later pages.
    static void start(QWidget *area, bool forward);

private:
    PageTransition(QWidget *area, const QPixmap &before);
};

} // namespace tamo
