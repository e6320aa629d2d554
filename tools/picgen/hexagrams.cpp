// Reading window: one 81 x 113 picture per hexagram, the name above its
// six-bar figure, on white so it sits inside the window's white upper box.
#include "picgen.h"

namespace pg {

namespace {

QImage hexagramPicture(const Hexagram &h)
{
    QImage img(81, 113, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);

    // Fine frame: a light outer line and a vermilion inner line.
    p.setPen(QColor(214, 196, 166));
    p.drawRect(0, 0, 80, 112);
    p.setPen(col::vermilion);
    p.drawRect(3, 3, 74, 106);

    const QFont f = cjkFont(h.name.size() > 3 ? 15 : 16);
    drawTextCentred(p, 40.5, 25, h.name, f, col::ink, 0.75);
    QColor rule = col::vermilion;
    rule.setAlpha(150);
    p.fillRect(QRect(22, 31, 37, 1), rule);

    drawFigure(p, QRect(12, 38, 57, 65), h.code, col::ink, 7, 4);
    return img;
}

} // namespace

void makeHexagrams(Output &out)
{
    for (const auto &h : catalogue())
        out.jpg(QStringLiteral("q%1.jpg").arg(h.code), hexagramPicture(h));
}

} // namespace pg
