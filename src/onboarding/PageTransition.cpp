#include "onboarding/PageTransition.h"

#include <QGraphicsOpacityEffect>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>

namespace tamo {

PageTransition::PageTransition(QWidget *area, const QPixmap &before) : QLabel(area)
{
    setPixmap(before);
    setGeometry(area->rect());
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QStringLiteral("Previous page"));
}

void PageTransition::start(QWidget *area, bool forward)
{
    if (!area->isVisible())
        return;
    // A transition still running is replaced by the picture of where it was.
    const QPixmap before = area->grab();
    for (PageTransition *running : area->findChildren<PageTransition *>(Qt::FindDirectChildrenOnly))
        delete running;
    auto *ghost = new PageTransition(area, before);
    auto *opacity = new QGraphicsOpacityEffect(ghost);
    ghost->setGraphicsEffect(opacity);
    ghost->show();
    ghost->raise();

    auto *group = new QParallelAnimationGroup(ghost);
    auto *fade = new QPropertyAnimation(opacity, "opacity", group);
    fade->setStartValue(1.0);
    fade->setEndValue(0.0);
    auto *slide = new QPropertyAnimation(ghost, "pos", group);
    slide->setStartValue(QPoint(0, 0));
    slide->setEndValue(QPoint(forward ? -slideDistance : slideDistance, 0));
    for (QPropertyAnimation *animation : {fade, slide}) {
        animation->setDuration(durationMs);
        animation->setEasingCurve(QEasingCurve::OutCubic);
    }
    connect(group, &QAbstractAnimation::finished, ghost, &QObject::deleteLater);
    group->start();
}

} // namespace tamo
