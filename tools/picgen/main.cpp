// picgen OUTPUT_DIR
// picgen --icons OUTPUT_DIR
//
// Draws every picture the viewer embeds into OUTPUT_DIR and writes
// OUTPUT_DIR/startup_pictures.qrc (those read at start-up) and OUTPUT_DIR/pictures.qrc
// (the others), which list them under the prefix /pictures with the file name as alias. Needs a Qt platform plugin only for the font
// database; run it with QT_QPA_PLATFORM=offscreen. The output depends on
// nothing but this program and the installed faces.
//
// With --icons it draws only the application icon, in the sizes of the desktop's icon theme, as
// OUTPUT_DIR/hicolor/SIZExSIZE/apps/corvane.png (installed with the program).
#include "picgen.h"

#include <QDir>
#include <QGuiApplication>
#include <QSet>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool icons = args.size() == 3 && args.at(1) == QStringLiteral("--icons");
    if (args.size() != 2 && !icons) {
        std::fprintf(stderr, "usage: picgen OUTPUT_DIR | picgen --icons OUTPUT_DIR\n");
        return 2;
    }
    const QString dir = args.last();
    if (icons) {
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString sub = QStringLiteral("%1/hicolor/%2x%2/apps").arg(dir).arg(size);
            if (!QDir().mkpath(sub) || !pg::appIcon(size).save(sub + QStringLiteral("/corvane.png"), "PNG")) {
                std::fprintf(stderr, "picgen: cannot write the %dx%d icon in %s\n", size, size, qPrintable(sub));
                return 1;
            }
        }
        std::printf("picgen: application icons in %s/hicolor\n", qPrintable(dir));
        return 0;
    }
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "picgen: cannot create %s\n", qPrintable(dir));
        return 1;
    }
    pg::requireFonts();

    // The hexagram table must hold every line code exactly once.
    QSet<QString> codes;
    for (const auto &h : pg::catalogue())
        codes.insert(h.code);
    if (codes.size() != 64) {
        std::fprintf(stderr, "picgen: the hexagram table repeats a line code\n");
        return 1;
    }

    pg::Output out(dir);
    pg::Pictures pics;
    pg::makeBackgrounds(out, pics);
    pg::makePages(out, pics);
    pg::makeHexagrams(out);
    pg::makeWindowButtons(out);
    pg::makeToolbar(out);
    pg::makeTheme(out);

    if (!out.writeJpegSizes(QStringLiteral("jpeg_sizes.txt"))) {
        std::fprintf(stderr, "picgen: cannot write the list of picture sizes\n");
        return 1;
    }
    // The pictures the viewer reads while it starts get a resource library of their own, so their
    // bytes lie together in the program file: the system maps a program's pages in blocks around
    // each one read, and spread among the rest they would bring in most of the other pictures'
    // bytes too (about 1 MB). Only memory depends on this list, never what is shown.
    const QStringList startup = {
        QStringLiteral("jpeg_sizes.txt"), QStringLiteral("corvane_icon.png"), QStringLiteral("form1_bg.jpg"),
        QStringLiteral("page1.jpg"),      QStringLiteral("tab1_on.jpg"),      QStringLiteral("tab2_off.jpg"),
        QStringLiteral("sq1.jpg"),        QStringLiteral("sq2.jpg"),          QStringLiteral("sq3.jpg"),
        QStringLiteral("ww1.jpg"),        QStringLiteral("ww2.jpg"),          QStringLiteral("toolbar.bmp"),
        QStringLiteral("WINXP_BUTTON.bmp")};
    for (const QString &file : startup) {
        if (!out.files().contains(file)) {
            std::fprintf(stderr, "picgen: the start-up picture %s is not drawn\n", qPrintable(file));
            return 1;
        }
    }
    if (!out.writeQrc(QStringLiteral("pictures.qrc"), startup, false) ||
        !out.writeQrc(QStringLiteral("startup_pictures.qrc"), startup, true)) {
        std::fprintf(stderr, "picgen: cannot write the resource list\n");
        return 1;
    }
    std::printf("picgen: %d pictures in %s\n", int(out.files().size()), qPrintable(dir));
    return 0;
}
