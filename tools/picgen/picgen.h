// picgen: draws every picture the viewer embeds and lists them in a Qt
// resource file. Shared drawing helpers, the palette and the hexagram table.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QStringList>

#include <array>
#include <map>

namespace pg {

// ---------------------------------------------------------------- output

// Collects the written files so that the resource list can name them all.
class Output {
public:
    explicit Output(QString dir) : dir_(std::move(dir)) {}
    void jpg(const QString &name, const QImage &img, int quality = 92);
    void bmp(const QString &name, const QImage &img);  // 24-bit, uncompressed
    void png(const QString &name, const QImage &img);
    // The list of the JPEGs' sizes ("name width height" per line), itself a picture resource:
    // the viewer knows a picture's size without reading the picture.
    bool writeJpegSizes(const QString &name);
    // Writes a resource list of the files named in `only` (include) or of all the others.
    bool writeQrc(const QString &name, const QStringList &only, bool include) const;
    const QStringList &files() const { return files_; }
    const QString &dir() const { return dir_; }

private:
    void check(const QString &name, const QImage &img, bool ok);
    QString dir_;
    QStringList files_;
    QStringList jpegSizes_;
};

// ---------------------------------------------------------------- palette

namespace col {
inline const QColor ink{38, 26, 18};          // text and figures
inline const QColor inkSoft{92, 66, 44};      // secondary text, rules
inline const QColor vermilion{178, 44, 28};   // seals, accents
inline const QColor vermilionHi{214, 70, 38}; // highlighted seals
inline const QColor sealText{250, 236, 206};  // text cut into a seal
inline const QColor ground{236, 223, 192};    // window parchment
inline const QColor groundEdge{205, 180, 134};
inline const QColor sheet{246, 238, 218};     // page sheet parchment
inline const QColor strip{64, 0, 0};          // label strip of the main window
inline const QColor gold{206, 158, 72};
} // namespace col

// ---------------------------------------------------------------- text

// The Ming face used for all Chinese text; `traditional` selects a serif
// face with the Taiwan forms of traditional characters, for labels written
// in traditional script.
QFont cjkFont(qreal px, bool traditional = false);
QFont latinFont(qreal px, bool bold = true, bool italic = false);
void requireFonts();        // aborts when the faces do not resolve

// Text is drawn as filled outlines so it is always antialiased; `weight`
// adds a stroke of that width around the glyphs to darken thin faces.
void drawText(QPainter &p, QPointF baseline, const QString &s, const QFont &f,
              const QColor &c, qreal weight = 0.0);
qreal textWidth(const QString &s, const QFont &f);
// Centred horizontally on cx with its baseline at y.
void drawTextCentred(QPainter &p, qreal cx, qreal y, const QString &s,
                     const QFont &f, const QColor &c, qreal weight = 0.0);
// One character under the other, centred on cx, first glyph box at top.
void drawVertical(QPainter &p, qreal cx, qreal top, qreal step, const QString &s,
                  const QFont &f, const QColor &c, qreal weight = 0.0);

// ---------------------------------------------------------------- grounds

// Deterministic value noise in [0,1].
float noise2(float x, float y, quint32 seed);
float grain(int x, int y, quint32 seed);

// Parchment: base colour with low-frequency mottling, fine grain and a
// vignette that darkens towards `edge` at the borders.
QImage parchment(QSize size, quint32 seed, QColor base, QColor edge,
                 float vignette = 1.0f, float mottle = 1.0f);

// ---------------------------------------------------------------- figures

// Six bars, bottom line = first character of `code`; "1" solid, "2" broken.
void drawFigure(QPainter &p, const QRect &r, const QString &code,
                const QColor &c, int barH, int gap);
// Three bars of a trigram (bottom line first).
void drawTrigram(QPainter &p, const QRect &r, const QString &code,
                 const QColor &c, int barH, int gap);
// A seal: filled rounded square with an inner cut line.
void drawSeal(QPainter &p, const QRectF &r, const QColor &fill, const QColor &line,
              qreal radius);

// ---------------------------------------------------------------- catalogue

struct Hexagram {
    QString code;     // bottom line first
    QString name;     // as printed above the figure
    int page, row, col;
    QString hover;    // hover picture name, e.g. "q1"
    QRect tile;       // page-panel coordinates
    QRect hoverRect;  // page-panel coordinates
    QRect figure;     // where the figure sits on the page
};

const std::array<Hexagram, 64> &catalogue();
extern const std::array<QString, 8> kPalaces;         // 乾宫 ... 坤宫
extern const std::array<QString, 8> kPalaceTrigrams;  // 111 ... 222
extern const std::array<QString, 3> kSideTabLabels;   // 預測四原則 ...

// Window and panel geometry used by more than one picture family.
namespace geo {
inline const QSize form1{906, 634};
inline const QPoint pagePos{5, 72};
inline const QSize page{896, 513};
inline const QRect tabLeft{54, 60, 184, 27};   // window coordinates
inline const QRect tabRight{246, 60, 184, 27};
inline const std::array<QRect, 3> sideBase{QRect{874, 250, 26, 97}, QRect{874, 346, 26, 97},
                                           QRect{874, 442, 26, 96}};
inline const std::array<QRect, 3> sideHover{QRect{874, 250, 27, 97}, QRect{874, 346, 27, 97},
                                            QRect{874, 442, 27, 97}};
// The page sheet inside the page panel (panel coordinates, border included).
inline const QRect sheet{4, 15, 865, 470};
} // namespace geo

// ---------------------------------------------------------------- families

struct Pictures {
    QImage form1;                 // main window background, needed by the page family
    std::map<int, QImage> pages;  // 1, 2 without highlight
};

void makeBackgrounds(Output &out, Pictures &pics);
void makePages(Output &out, Pictures &pics);
void makeHexagrams(Output &out);
void makeWindowButtons(Output &out);
// The signs on picture buttons.
enum class ButtonGlyph { SystemMenu, RollUp, Tray, Minimise, Maximise, Close };
// A caption button in the look of the picture buttons (a red seal with a light cut line and
// sign), drawn into `img` at `r`.
void drawCaptionButton(QImage &img, const QRect &r, ButtonGlyph glyph);
// The application icon, `size` pixels square.
QImage appIcon(int size);
void makeToolbar(Output &out);
void makeTheme(Output &out);

} // namespace pg
