// The line under the table that says what is going on: the session's part, the link's sampling
// and the trigger's state, side by side; the whole line is also its tooltip, for a window too
// narrow to show it, with each part's details under it.
#pragma once

#include <QLabel>
#include <QString>

#include <array>

class CStatusLine : public QLabel {
public:
    enum EnumPart { PART_SESSION, PART_LINK, PART_TRIGGER };

    explicit CStatusLine(QWidget* parent);
    void SetPart(EnumPart part, const QString& text, const QString& detail = {});

private:
    std::array<QString, 3> m_parts;
    std::array<QString, 3> m_details;
};
