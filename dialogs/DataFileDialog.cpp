#include "DataFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

std::string g_RunDataFileDialog(QWidget* parent, bool save, const QString& proposedName, QString& folder) {
    const QFileDialog::AcceptMode mode = save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen;
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QDir().mkpath(folder);
    dialog.setDirectory(folder);
    const QString csv = QStringLiteral("Chrono Data(*.csv)");
    const QString hdf5 = QStringLiteral("HDF5(*.h5)");
    QStringList filters{csv, QStringLiteral("Chrono Data(*.data)")};
    if (mode == QFileDialog::AcceptOpen) {
        filters.prepend(QStringLiteral("Chrono Data(*.data *.csv)"));
    } else {
        filters.append(hdf5); // for analysis tools; the program reads its own files and CSV
    }
    dialog.setNameFilters(filters);
    // A bare name takes the extension of the chosen type, as the desktop's own dialogs do.
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, csv, hdf5](const QString& filter) {
                         dialog.setDefaultSuffix(filter == csv    ? QStringLiteral("csv")
                                                 : filter == hdf5 ? QStringLiteral("h5")
                                                                  : QStringLiteral("data"));
                     });
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!proposedName.isEmpty()) {
        dialog.selectFile(proposedName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString chosen = dialog.selectedFiles().first();
    folder = QFileInfo(chosen).absolutePath();
    return chosen.toStdString();
}
