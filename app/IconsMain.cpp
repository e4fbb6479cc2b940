// chronoscope-icons FOLDER SIZE...: writes FOLDER/NxN/apps/chronoscope.png for each size, the
// icons the desktop entry names.
#include "AppIcon.h"
#include "kit/NumberText.h"

#include <QDir>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: chronoscope-icons FOLDER SIZE...\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const auto size = static_cast<int>(g_ParseIntegerIn(argv[i], 8, 1024).value_or(0));
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        if (size < 8 || !QDir().mkpath(dir) ||
            !g_DrawAppIcon(size).save(dir + QStringLiteral("/chronoscope.png"))) {
            std::fprintf(stderr, "chronoscope-icons: cannot write the %s px icon into %s\n", argv[i],
                         argv[1]);
            return 1;
        }
    }
    return 0;
}
