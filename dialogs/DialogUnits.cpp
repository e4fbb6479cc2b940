#include "DialogUnits.h"

#include <QFontMetrics>
#include <QStringList>

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width of the Latin letters, rounded, as the classic dialog manager measures it.
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = (letters / 26 + 1) / 2;
    m_baseY = metrics.height();
}

QRect CDialogUnits::ToPixels(const tagDluRect& r) const {
    return QRect(X(r.x), Y(r.y), X(r.w), Y(r.h));
}

QFont g_DialogFont(bool chinese) {
    QFont font;
    if (chinese) {
        font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"),
                          QStringLiteral("Noto Sans CJK SC")});
        font.setPointSize(9);
    } else {
        font.setFamilies(
            {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
        font.setPointSize(8);
    }
    font.setStyleHint(QFont::SansSerif);
    return font;
}
