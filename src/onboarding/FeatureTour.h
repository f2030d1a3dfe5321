#pragma once

#include "onboarding/TourPageBody.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace tamo {

class OnboardingWindow;
class PageDots;

// The feature tour's content: the illustration, the page's text and the pager
// ("Skip", "Back", "Next" or "Got It").
class TourView : public QWidget
{
    Q_OBJECT

public:
    static constexpr double scale = 1.15;

    TourView(const TourEnvironment &environment, std::function<void()> close, QWidget *parent = nullptr);

    int index() const { return m_index; }
    void setIndex(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    // Return is "Next" (or "Got It") wherever the focus is.
    void keyPressEvent(QKeyEvent *event) override;

private:
    TourEnvironment m_env;
    std::function<void()> m_close;
    int m_index = 0;
    QWidget *m_comparison = nullptr;
    QWidget *m_body = nullptr;
    QVBoxLayout *m_bodyHolder = nullptr;
    PageDots *m_dots = nullptr;
    QPushButton *m_skip = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
};

// The tour window "Explore Features": opened by itself once per tour version
// and from the menus, the drawer's light bulb and the settings.
class FeatureTour
{
public:
    explicit FeatureTour(TourEnvironment environment);
    ~FeatureTour();

    // Whether this tour version was not seen yet.
    static bool shouldShow(const Defaults &defaults);

    // Counts as seen from the moment it opens, however it is left.
    void show(std::function<void()> onClose = {});

    OnboardingWindow *window() const { return m_window.get(); }

private:
    TourEnvironment m_env;
    std::unique_ptr<OnboardingWindow> m_window;
};

} // namespace tamo
