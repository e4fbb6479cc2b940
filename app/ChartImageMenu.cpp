#include "ChartImageMenu.h"

#include "acquisition/ChannelModel.h"
#include "acquisition/StringIds.h"
#include "dialogs/MessageBox.h"
#include "dialogs/StringTable.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>

CChartImageMenu::CChartImageMenu(QWidget& window, CChartWidget& chart, CMonitorSession& session,
                                 const QString& folder)
    : m_window(window), m_chart(chart), m_session(session), m_folder(folder) {
    auto* copy = new QAction(LoadStringById(IDS_MENU_COPY_CHART), &window);
    copy->setShortcut(QKeySequence::Copy); // the text fields keep theirs
    QObject::connect(copy, &QAction::triggered, [this] { Copy(); });
    window.addAction(copy);
    auto* save = new QAction(LoadStringById(IDS_MENU_SAVE_CHART_IMAGE), &window);
    QObject::connect(save, &QAction::triggered, [this] { Save(); });
    window.addAction(save);
}

std::vector<tagLegendEntry> CChartImageMenu::Legend() const {
    std::vector<tagLegendEntry> legend;
    const std::vector<tagOscilloElem>& channels = m_session.State().channels;
    for (size_t k = 0; k < channels.size(); ++k) {
        if (m_session.Traces().Trace(k).IsVisible()) {
            legend.push_back({QString::fromStdString(ChannelDisplayName(channels[k])), channels[k].colour});
        }
    }
    return legend;
}

QImage CChartImageMenu::Image() const {
    return g_ChartImage(m_chart.Chart(), m_chart.size(), m_chart.devicePixelRatioF(), Legend());
}

void CChartImageMenu::Copy() {
    QGuiApplication::clipboard()->setImage(Image());
}

void CChartImageMenu::Save() {
    const QString png = QStringLiteral("PNG (*.png)");
    const QString svg = QStringLiteral("SVG (*.svg)");
    QString filter = png;
    QString path = QFileDialog::getSaveFileName(
        &m_window, LoadStringById(IDS_MENU_SAVE_CHART_IMAGE).remove(QStringLiteral("...")), m_folder,
        png + QStringLiteral(";;") + svg, &filter);
    if (path.isEmpty()) {
        return;
    }
    const bool asSvg = path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive) ||
                       (filter == svg && !path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive));
    if (!asSvg && !path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".png");
    } else if (asSvg && !path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".svg");
    }
    QString error;
    const bool saved = asSvg ? g_WriteChartSvg(m_chart.Chart(), m_chart.size(), Legend(), path, &error)
                             : Image().save(path, "PNG");
    if (!saved) {
        g_ShowMessage(&m_window, EnumMessageKind::Problem, LoadStringById(IDS_CHART_IMAGE_FAILED),
                      error.isEmpty() ? path : error);
    }
}
