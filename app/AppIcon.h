#pragma once

#include <QIcon>
#include <QImage>

// The icon at one size, drawn without a window system: what the desktop entry installs.
QImage g_DrawAppIcon(int size);

// The program's icon: a trace on a scope screen, drawn at the sizes the desktop asks for.
QIcon g_AppIcon();
