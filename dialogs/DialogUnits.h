// Dialog templates are laid out in dialog units: a quarter of the dialog font's average character
// width horizontally and an eighth of its height vertically.
#pragma once

#include <QFont>
#include <QRect>

struct tagDluRect {
    int x, y, w, h;
};

class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    QRect ToPixels(const tagDluRect& r) const;
    int X(int dlu) const { return dlu * m_baseX / 4; }
    int Y(int dlu) const { return dlu * m_baseY / 8; }

private:
    int m_baseX;
    int m_baseY;
};

// The dialog font of the templates: Tahoma 8 pt for English, SimSun 9 pt for Chinese, each with
// the nearest faces a Linux desktop has.
QFont g_DialogFont(bool chinese);
