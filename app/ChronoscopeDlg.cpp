#include "ChronoscopeDlg.h"

#include "AppIcon.h"
#include "dialogs/StringTable.h"

#include <QLabel>
#include <QVBoxLayout>

CChronoscopeDlg::CChronoscopeDlg(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(g_AppIcon());
    setWindowTitle(QStringLiteral("KALDOR-") + LoadStringById(IDS_CAPTION));
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(LoadStringById(IDS_APP_NAME), this);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    resize(1220, 690);
}
