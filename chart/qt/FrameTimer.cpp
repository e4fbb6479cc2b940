#include "FrameTimer.h"

#include <QScreen>

#include <algorithm>

int g_FrameIntervalMs(const QWidget& widget) {
    const QScreen* shown = widget.screen();
    const double hertz = shown && shown->refreshRate() >= 1.0 ? shown->refreshRate() : 60.0;
    return std::max(1, static_cast<int>(1000.0 / hertz));
}
