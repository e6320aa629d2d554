// picgen OUTPUT_DIR
//
// Draws every picture the viewer embeds into OUTPUT_DIR and writes
// OUTPUT_DIR/pictures.qrc, which lists them under the prefix /pictures with
// the file name as alias. Needs a Qt platform plugin only for the font
// database; run it with QT_QPA_PLATFORM=offscreen. The output depends on
// nothing but this program and the installed faces.
#include "picgen.h"

#include <QDir>
#include <QGuiApplication>
#include <QSet>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: picgen OUTPUT_DIR\n");
        return 2;
    }
    const QString dir = args.at(1);
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

    if (!out.writeQrc(QStringLiteral("pictures.qrc"))) {
        std::fprintf(stderr, "picgen: cannot write the resource list\n");
        return 1;
    }
    std::printf("picgen: %d pictures in %s\n", int(out.files().size()), qPrintable(dir));
    return 0;
}
