// Build tool: draws the program's icon into a hicolor icon theme folder, one PNG per size.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "platform/ui/qt/Icons.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s THEME_FOLDER SIZE...\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString themeFolder = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(themeFolder).arg(size);
        if (size <= 0 || !QDir().mkpath(folder)
            || !platform::ui::qt::DrawProgramIcon(size).save(
                folder + QStringLiteral("/zandrel.png"), "PNG")) {
            std::fprintf(stderr, "cannot draw the %s px icon into %s\n", argv[i], qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
