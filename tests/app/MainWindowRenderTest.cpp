#include "app/ChronoscopeDlg.h"
#include "dialogs/Translation.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Renders the window; CHRONOSCOPE_SCREENSHOTS names a folder to keep the pictures in.
QImage Render(CChronoscopeDlg& window, const char* name) {
    window.show();
    QImage image = window.grab().toImage();
    if (const char* folder = std::getenv("CHRONOSCOPE_SCREENSHOTS")) {
        image.save(QString::fromUtf8(folder) + QLatin1Char('/') + QString::fromUtf8(name));
    }
    return image;
}

} // namespace

TEST(MainWindowRender, PaintsInBothLanguages) {
    for (bool chinese : {false, true}) {
        g_ApplyUiLanguage(chinese);
        CChronoscopeDlg window;
        const QImage image = Render(window, chinese ? "main-zh.png" : "main-en.png");
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), window.size());
        EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("KALDOR-")));
    }
    g_ApplyUiLanguage(false);
}
