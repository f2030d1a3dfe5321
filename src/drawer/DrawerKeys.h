#pragma once

#include "drawer/KeyPress.h"
#include "model/ClipItem.h"

#include <QList>
#include <QUuid>

namespace tamo {

class AppModel;

enum class KeyResult {
    handled, // the press is consumed
    ignored, // it goes on to the strip's parent
};

// What a key press in the drawer acts on: the shared selection and search
// state, and the clips the strip shows, in the order it shows them.
struct DrawerKeyContext
{
    AppModel &model;
    QList<ClipItemPtr> visibleClips;
    QUuid pinboardID; // null for the history strip
};

// The drawer's key map, for presses going down and repeating (releases never
// come here). Nothing is handled while a clip's title is being edited. The
// strip must let Tab and Backtab reach it rather than move the focus.
KeyResult handleDrawerKey(const KeyPress &press, const DrawerKeyContext &context);

// Text an input method or a compose sequence commits: typed into the search
// like the characters of a key press.
KeyResult typeDrawerText(const QString &text, const DrawerKeyContext &context);

} // namespace tamo
