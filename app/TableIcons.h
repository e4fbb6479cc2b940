// The channel table's pictures, drawn by the program: ticked and empty box, gear, red cross.
#pragma once

#include <QIcon>

QIcon g_TickedBoxIcon();
QIcon g_EmptyBoxIcon();
QIcon g_GearIcon();
QIcon g_CrossIcon();
