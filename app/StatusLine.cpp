#include "StatusLine.h"

#include <QStringList>

CStatusLine::CStatusLine(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("status"));
    setTextFormat(Qt::PlainText);
}

void CStatusLine::SetPart(EnumPart part, const QString& text, const QString& detail) {
    m_parts[part] = text;
    m_details[part] = detail;
    QStringList shown;
    QStringList details;
    for (size_t i = 0; i < m_parts.size(); ++i) {
        if (!m_parts[i].isEmpty()) {
            shown << m_parts[i];
        }
        if (!m_details[i].isEmpty()) {
            details << m_details[i];
        }
    }
    const QString line = shown.join(QStringLiteral("    "));
    setText(line);
    setToolTip(details.isEmpty() ? line : line + QLatin1Char('\n') + details.join(QLatin1Char('\n')));
}
