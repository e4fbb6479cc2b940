#include "MessageBox.h"

#include "StringTable.h"
#include "acquisition/StringIds.h"

#include <algorithm>

#include <QAbstractButton>
#include <QGridLayout>
#include <QPushButton>
#include <QSizePolicy>
#include <QSpacerItem>

namespace {

// The title bar holds the title with its buttons and the icon: a row at least that wide, and
// wider for a reason, which is often a path.
void FitTitleAndReason(QMessageBox& box, const QString& detail) {
    if (!detail.isEmpty()) {
        box.setInformativeText(detail);
    }
    const int titleWidth = std::max(box.fontMetrics().horizontalAdvance(box.windowTitle()) + 160,
                                    detail.isEmpty() ? 0 : box.fontMetrics().averageCharWidth() * 60);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
}

} // namespace

QMessageBox::StandardButton g_ShowMessage(QWidget* parent, EnumMessageKind kind, const QString& text,
                                          const QString& detail, const QString& raw) {
    const bool question = kind == EnumMessageKind::Question;
    QMessageBox box(question                           ? QMessageBox::Question
                    : kind == EnumMessageKind::Problem ? QMessageBox::Warning
                                                       : QMessageBox::Information,
                    LoadStringById(IDS_APP_NAME), text,
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    FitTitleAndReason(box, detail);
    if (!raw.isEmpty() && raw != detail) {
        box.setToolTip(raw);
    }
    box.exec();
    return box.standardButton(box.clickedButton());
}

int g_AskChoice(QWidget* parent, const QString& text, const QString& detail, const QStringList& buttons) {
    QMessageBox box(QMessageBox::Warning, LoadStringById(IDS_APP_NAME), text, QMessageBox::NoButton, parent);
    QList<QAbstractButton*> added;
    for (const QString& caption : buttons) {
        added.append(box.addButton(caption, QMessageBox::ActionRole));
    }
    FitTitleAndReason(box, detail);
    box.exec();
    return static_cast<int>(added.indexOf(box.clickedButton()));
}
