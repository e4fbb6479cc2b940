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
    QStringList filters{csv, QStringLiteral("Chrono Data(*.data)")};
    if (mode == QFileDialog::AcceptOpen) {
        filters.prepend(QStringLiteral("Chrono Data(*.data *.csv)"));
    }
    dialog.setNameFilters(filters);
    // A bare name takes the extension of the chosen type, as the desktop's own dialogs do.
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, csv](const QString& filter) {
        dialog.setDefaultSuffix(filter == csv ? QStringLiteral("csv") : QStringLiteral("data"));
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
