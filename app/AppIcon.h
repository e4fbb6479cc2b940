#pragma once

#include <QIcon>

// The program's icon: a trace on a scope screen, drawn at the sizes the desktop asks for.
QIcon g_AppIcon();
