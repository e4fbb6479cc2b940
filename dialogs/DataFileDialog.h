// The file dialog of both data buttons: CSV or data files (and HDF5 to save), and no overwrite question of
// its own (the session asks). It opens in folder, which becomes the folder of the chosen file. Open shows
// both kinds of file at first.
#pragma once

#include <QString>

#include <string>

class QWidget;

// The chosen path; empty when the user cancelled.
std::string g_RunDataFileDialog(QWidget* parent, bool save, const QString& proposedName, QString& folder);
