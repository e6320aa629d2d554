// Notes editor toolbar images: one 24-bit strip of 46 images, 16 x 16 each,
// left to right, magenta (255, 0, 255) marking the transparent pixels.
//
// Index: 0 cut, 1 copy, 2 paste, 3 undo, 4 redo, 5 delete, 6 find,
// 7 replace, 8 select all, 9 new, 10 open, 11 save, 12 print, 13 print
// preview, 14 bullets, 15 numbering, 16 align centre, 17 align left,
// 18 align right, 19 font, 20 bold, 21 italic, 22 underline,
// 23 strikethrough, 24 font colour, 25 highlight, 26 justify, 27 indent,
// 28 outdent, 29 superscript, 30 subscript, 31 picture, 32 table, 33 link,
// 34 date, 35 paragraph mark, 36 line spacing, 37 clear formatting,
// 38 zoom in, 39 zoom out, 40 help, 41 settings, 42 grow font,
// 43 shrink font, 44 change case, 45 special character.
#include "picgen.h"

#include <QPainterPath>

#include <cmath>

namespace pg {

namespace {

const QColor kLine{44, 52, 70};
const QColor kBlue{38, 92, 178};
const QColor kRed{204, 40, 30};
const QColor kPaper{255, 255, 255};
const QColor kYellow{236, 190, 56};
const QColor kBrown{176, 124, 64};
const QColor kGrey{150, 156, 168};

void pen(QPainter &p, const QColor &c, qreal w = 1.0)
{
    p.setPen(QPen(c, w, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
}

void letter(QPainter &p, qreal x, qreal y, const QString &s, const QFont &f, const QColor &c)
{
    QPainterPath path;
    path.addText(QPointF(x, y), f, s);
    p.fillPath(path, c);
}

QFont sans(int px, bool bold = true, bool italic = false)
{
    QFont f;
    f.setFamilies({QStringLiteral("Liberation Sans")});
    f.setPixelSize(px);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

void page(QPainter &p, const QRectF &r, bool lines = true)
{
    pen(p, kLine);
    p.setBrush(kPaper);
    p.drawRect(r);
    if (lines) {
        pen(p, QColor(170, 178, 192));
        for (qreal y = r.top() + 2.5; y < r.bottom() - 1; y += 3)
            p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
    }
}

void textLines(QPainter &p, const std::initializer_list<std::pair<int, int>> &spans, int top = 3,
               const QColor &c = kLine)
{
    int y = top;
    for (auto [x0, x1] : spans) {
        p.fillRect(QRect(x0, y, x1 - x0, 1), c);
        y += 3;
    }
}

void magnifier(QPainter &p, qreal cx, qreal cy, qreal r)
{
    pen(p, kLine, 1.2);
    p.setBrush(QColor(200, 226, 250));
    p.drawEllipse(QPointF(cx, cy), r, r);
    p.setPen(QPen(kBrown, 2.4, Qt::SolidLine, Qt::RoundCap));
    const qreal d = r * 0.72;
    p.drawLine(QPointF(cx + d, cy + d), QPointF(cx + d + 4.5, cy + d + 4.5));
}

void arrowHead(QPainter &p, QPointF tip, qreal angleDeg, qreal size, const QColor &c)
{
    const qreal a = qDegreesToRadians(angleDeg);
    QPolygonF tri;
    tri << tip
        << tip + QPointF(std::cos(a + 2.6) * size, std::sin(a + 2.6) * size)
        << tip + QPointF(std::cos(a - 2.6) * size, std::sin(a - 2.6) * size);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(tri);
}

void curvedArrow(QPainter &p, bool left)
{
    QPainterPath path;
    const qreal s = left ? 1 : -1, o = left ? 0 : 16;
    path.moveTo(o + s * 13, 13);
    path.cubicTo(o + s * 14.5, 7, o + s * 10, 4.5, o + s * 5, 6.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kBlue, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(path);
    arrowHead(p, QPointF(o + s * 2, 8), left ? 155 : 25, 5.5, kBlue);
}

void drawGlyph(QPainter &p, int i)
{
    switch (i) {
    case 0: // cut
        p.setPen(QPen(kLine, 1.3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 10), QPointF(11, 1.5));
        p.drawLine(QPointF(10, 10), QPointF(5, 1.5));
        pen(p, kRed, 1.4);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(4.5, 12.3), 2.3, 2.3);
        p.drawEllipse(QPointF(11.5, 12.3), 2.3, 2.3);
        break;
    case 1: // copy
        page(p, QRectF(1.5, 1.5, 8, 10));
        page(p, QRectF(6.5, 4.5, 8, 10));
        break;
    case 2: // paste
        pen(p, kLine);
        p.setBrush(kBrown);
        p.drawRect(QRectF(1.5, 2.5, 10, 12));
        p.setBrush(kGrey);
        p.drawRect(QRectF(4.5, 1.5, 4, 3));
        page(p, QRectF(6.5, 6.5, 8, 8));
        break;
    case 3: curvedArrow(p, true); break;
    case 4: curvedArrow(p, false); break;
    case 5: // delete
        p.setPen(QPen(kRed, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    case 6: magnifier(p, 6.5, 6.5, 4.2); break;
    case 7: // replace
        letter(p, 0.5, 8, "a", sans(9), kLine);
        letter(p, 8, 15, "b", sans(9), kBlue);
        p.setPen(QPen(kRed, 1.2));
        p.drawLine(QPointF(7, 3.5), QPointF(11.5, 3.5));
        p.drawLine(QPointF(11.5, 3.5), QPointF(11.5, 6));
        arrowHead(p, QPointF(11.5, 8.5), 90, 3.5, kRed);
        break;
    case 8: // select all
        p.setPen(QPen(kLine, 1.0, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        textLines(p, {{4, 12}, {4, 10}, {4, 12}, {4, 9}}, 4, kBlue);
        break;
    case 9: { // new
        QPainterPath path;
        path.moveTo(3.5, 1.5);
        path.lineTo(9.5, 1.5);
        path.lineTo(12.5, 4.5);
        path.lineTo(12.5, 14.5);
        path.lineTo(3.5, 14.5);
        path.closeSubpath();
        pen(p, kLine);
        p.setBrush(kPaper);
        p.drawPath(path);
        p.drawLine(QPointF(9.5, 1.5), QPointF(9.5, 4.5));
        p.drawLine(QPointF(9.5, 4.5), QPointF(12.5, 4.5));
        break;
    }
    case 10: { // open
        pen(p, QColor(150, 110, 20));
        p.setBrush(kYellow);
        p.drawRect(QRectF(1.5, 4.5, 12, 9));
        p.drawRect(QRectF(1.5, 3.5, 5, 2));
        QPolygonF front;
        front << QPointF(3.5, 7.5) << QPointF(15.5, 7.5) << QPointF(13.5, 13.5)
              << QPointF(1.5, 13.5);
        p.setBrush(QColor(250, 214, 100));
        p.drawPolygon(front);
        break;
    }
    case 11: // save
        pen(p, kLine);
        p.setBrush(kBlue);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(kPaper);
        p.drawRect(QRectF(3.5, 1.5, 9, 6));
        p.setBrush(kGrey);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
        break;
    case 12: // print
        page(p, QRectF(4.5, 1.5, 7, 5), false);
        pen(p, kLine);
        p.setBrush(kGrey);
        p.drawRect(QRectF(1.5, 6.5, 13, 6));
        page(p, QRectF(4.5, 10.5, 7, 4), false);
        p.fillRect(QRect(11, 8, 2, 1), QColor(60, 200, 60));
        break;
    case 13: // print preview
        page(p, QRectF(1.5, 1.5, 9, 12));
        magnifier(p, 9.5, 9, 3.2);
        break;
    case 14: // bullets
        for (int k = 0; k < 3; ++k) {
            p.fillRect(QRect(2, 3 + 4 * k, 2, 2), kBlue);
            p.fillRect(QRect(6, 3 + 4 * k, 8, 1), kLine);
        }
        break;
    case 15: // numbering
        for (int k = 0; k < 3; ++k) {
            letter(p, 1, 6.5 + 4.5 * k, QString::number(k + 1), sans(6), kBlue);
            p.fillRect(QRect(6, 4 + 4 * k, 8, 1), kLine);
        }
        break;
    case 16: textLines(p, {{2, 14}, {4, 12}, {2, 14}, {5, 11}}, 3); break;
    case 17: textLines(p, {{2, 14}, {2, 10}, {2, 14}, {2, 9}}, 3); break;
    case 18: textLines(p, {{2, 14}, {6, 14}, {2, 14}, {7, 14}}, 3); break;
    case 19: { // font
        QFont f;
        f.setFamilies({QStringLiteral("Liberation Serif")});
        f.setPixelSize(15);
        f.setBold(true);
        letter(p, 0, 13, "A", f, kBlue);
        f.setPixelSize(10);
        letter(p, 10, 14, "a", f, kLine);
        break;
    }
    case 20: letter(p, 3, 13, "B", sans(13), kLine); break;
    case 21: {
        QFont f;
        f.setFamilies({QStringLiteral("Liberation Serif")});
        f.setPixelSize(14);
        f.setBold(true);
        f.setItalic(true);
        letter(p, 5, 13, "I", f, kLine);
        break;
    }
    case 22:
        letter(p, 3, 12, "U", sans(12), kLine);
        p.fillRect(QRect(3, 14, 10, 1), kLine);
        break;
    case 23:
        letter(p, 3.5, 13, "S", sans(13), kLine);
        p.fillRect(QRect(2, 8, 12, 1), kRed);
        break;
    case 24: // font colour
        letter(p, 3, 11, "A", sans(12), kLine);
        p.fillRect(QRect(2, 12, 12, 3), kRed);
        break;
    case 25: { // highlight
        p.fillRect(QRect(1, 12, 14, 3), QColor(255, 240, 40));
        p.save();
        p.translate(9, 6);
        p.rotate(40);
        pen(p, kLine);
        p.setBrush(kGrey);
        p.drawRect(QRectF(-2, -5, 4, 9));
        p.setBrush(QColor(255, 240, 40));
        p.drawRect(QRectF(-2, 4, 4, 2));
        p.restore();
        break;
    }
    case 26: textLines(p, {{2, 14}, {2, 14}, {2, 14}, {2, 14}}, 3); break;
    case 27:
    case 28:
        textLines(p, {{2, 14}, {8, 14}, {8, 14}, {2, 14}}, 3);
        if (i == 27) {
            p.fillRect(QRect(2, 7, 3, 1), kBlue);
            arrowHead(p, QPointF(6.5, 7.5), 0, 3.5, kBlue);
        } else {
            p.fillRect(QRect(4, 7, 3, 1), kBlue);
            arrowHead(p, QPointF(1.5, 7.5), 180, 3.5, kBlue);
        }
        break;
    case 29:
    case 30:
        letter(p, 1, 13, "x", sans(12, false), kLine);
        letter(p, 9, i == 29 ? 7 : 15, "2", sans(7), kBlue);
        break;
    case 31: { // picture
        pen(p, kLine);
        p.setBrush(QColor(214, 236, 252));
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        QPolygonF hill;
        hill << QPointF(2, 13) << QPointF(6.5, 7) << QPointF(9, 10) << QPointF(11, 8)
             << QPointF(14, 13);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 150, 70));
        p.drawPolygon(hill);
        p.setBrush(kYellow);
        p.drawEllipse(QPointF(11, 5.5), 1.6, 1.6);
        break;
    }
    case 32: // table
        pen(p, kLine);
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.fillRect(QRect(2, 3, 12, 3), QColor(170, 200, 240));
        pen(p, kLine);
        p.drawLine(QPointF(2, 6.5), QPointF(14, 6.5));
        p.drawLine(QPointF(2, 10), QPointF(14, 10));
        p.drawLine(QPointF(6, 3), QPointF(6, 13));
        p.drawLine(QPointF(10, 3), QPointF(10, 13));
        break;
    case 33: // link
        p.setBrush(Qt::NoBrush);
        p.save();
        p.translate(8, 8);
        p.rotate(-45);
        pen(p, kBlue, 1.6);
        p.drawRoundedRect(QRectF(-7, -2.5, 8, 5), 2.5, 2.5);
        p.drawRoundedRect(QRectF(-1, -2.5, 8, 5), 2.5, 2.5);
        p.restore();
        break;
    case 34: // date
        page(p, QRectF(1.5, 2.5, 13, 12), false);
        p.fillRect(QRect(2, 3, 12, 3), kRed);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                p.fillRect(QRect(3 + 3 * c, 7 + 2 * r, 2, 1), kLine);
        break;
    case 35: letter(p, 3, 13, QString(QChar(0x00b6)), sans(13), kLine); break;
    case 36:
        textLines(p, {{7, 14}, {7, 14}, {7, 14}, {7, 14}}, 3);
        p.fillRect(QRect(3, 4, 1, 8), kBlue);
        arrowHead(p, QPointF(3.5, 1.5), -90, 3.5, kBlue);
        arrowHead(p, QPointF(3.5, 14.5), 90, 3.5, kBlue);
        break;
    case 37: // clear formatting: an eraser
        p.save();
        p.translate(8, 8);
        p.rotate(-40);
        pen(p, kLine);
        p.setBrush(QColor(240, 130, 150));
        p.drawRect(QRectF(-6, -3, 7, 6));
        p.setBrush(kPaper);
        p.drawRect(QRectF(1, -3, 5, 6));
        p.restore();
        p.fillRect(QRect(2, 14, 12, 1), kGrey);
        break;
    case 38:
    case 39:
        magnifier(p, 6.5, 6.5, 4.5);
        p.fillRect(QRect(4, 6, 6, 1), kLine);
        if (i == 38) p.fillRect(QRect(6, 4, 1, 6), kLine);
        break;
    case 40: // help
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(8, 8), 7, 7);
        letter(p, 4.5, 12.5, "?", sans(11), kPaper);
        break;
    case 41: { // settings: a gear
        p.setPen(Qt::NoPen);
        p.setBrush(kGrey.darker(130));
        for (int k = 0; k < 8; ++k) {
            p.save();
            p.translate(8, 8);
            p.rotate(45 * k);
            p.drawRect(QRectF(-1.5, -7.5, 3, 4));
            p.restore();
        }
        p.drawEllipse(QPointF(8, 8), 5, 5);
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(8, 8), 2, 2);
        break;
    }
    case 42:
    case 43: {
        const bool grow = i == 42;
        letter(p, 0, 14, "A", sans(grow ? 13 : 10), kLine);
        const QPointF tip = grow ? QPointF(12.5, 2) : QPointF(12.5, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        QPolygonF tri;
        if (grow)
            tri << tip << QPointF(9.5, 7) << QPointF(15.5, 7);
        else
            tri << tip << QPointF(9.5, 9) << QPointF(15.5, 9);
        p.drawPolygon(tri);
        break;
    }
    case 44:
        letter(p, 0, 13, "A", sans(12), kLine);
        letter(p, 8, 13, "a", sans(10), kBlue);
        break;
    case 45: {
        QFont f;
        f.setFamilies({QStringLiteral("DejaVu Sans")});
        f.setPixelSize(13);
        letter(p, 2, 13, QString(QChar(0x03a9)), f, kLine);
        break;
    }
    default:
        break;
    }
}

} // namespace

void makeToolbar(Output &out)
{
    const int count = 46;
    QImage strip(16 * count, 16, QImage::Format_RGB32);
    for (int i = 0; i < count; ++i) {
        QImage cell(16, 16, QImage::Format_ARGB32);
        cell.fill(Qt::transparent);
        {
            QPainter p(&cell);
            p.setRenderHint(QPainter::Antialiasing, true);
            drawGlyph(p, i);
        }
        // Pixels that are mostly clear become the key colour; the rest are
        // flattened onto white, the colour of the toolbar behind them.
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QRgb px = cell.pixel(x, y);
                const int a = qAlpha(px);
                QRgb outPx = qRgb(255, 0, 255);
                if (a >= 64) {
                    auto mix = [a](int c) { return (c * a + 255 * (255 - a)) / 255; };
                    outPx = qRgb(mix(qRed(px)), mix(qGreen(px)), mix(qBlue(px)));
                    if (outPx == qRgb(255, 0, 255)) outPx = qRgb(254, 0, 254);
                }
                strip.setPixel(16 * i + x, y, outPx);
            }
    }
    out.bmp(QStringLiteral("toolbar.bmp"), strip);
}

} // namespace pg
