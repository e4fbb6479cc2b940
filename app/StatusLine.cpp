#include "StatusLine.h"

#include <QStringList>

CStatusLine::CStatusLine(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("status"));
    setTextFormat(Qt::PlainText);
}

void CStatusLine::SetPart(EnumPart part, const QString& text) {
    m_parts[part] = text;
    QStringList shown;
    for (const QString& each : m_parts) {
        if (!each.isEmpty()) {
            shown << each;
        }
    }
    const QString line = shown.join(QStringLiteral("    "));
    setText(line);
    setToolTip(line);
}
