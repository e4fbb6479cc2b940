// chronoscope-icons FOLDER SIZE...: writes FOLDER/NxN/apps/chronoscope.png for each size, the
// icons the desktop entry names.
#include "AppIcon.h"

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
        const int size = std::atoi(argv[i]);
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        if (size < 8 || !QDir().mkpath(dir) ||
            !g_DrawAppIcon(size).save(dir + QStringLiteral("/chronoscope.png"))) {
            std::fprintf(stderr, "chronoscope-icons: cannot write the %s px icon into %s\n", argv[i], argv[1]);
            return 1;
        }
    }
    return 0;
}
