// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "icondrawing.h"

#include "palette.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

namespace IconDrawing {
namespace {

QColor c(QRgb rgb) {
    return QColor::fromRgba(rgb);
}

QRgb nearestPaletteColour(QRgb pixel) {
    QRgb best = Palette::all.front();
    int bestDistance = std::numeric_limits<int>::max();
    for (const QRgb candidate : Palette::all) {
        const int dr = qRed(pixel) - qRed(candidate);
        const int dg = qGreen(pixel) - qGreen(candidate);
        const int db = qBlue(pixel) - qBlue(candidate);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return best;
}

// Antialiasing is off, but snapping guards against any stray blended pixel.
void snapToPalette(QImage &image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            image.setPixel(x, y, qAlpha(pixel) < 128 ? 0u : nearestPaletteColour(pixel));
        }
    }
}

// A dark rim around the whole silhouette keeps the shape readable on any light background.
void addOutline(QImage &image) {
    const QImage source = image.copy();
    const auto opaqueAt = [&source](int x, int y) {
        return source.rect().contains(x, y) && qAlpha(source.pixel(x, y)) != 0;
    };
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (opaqueAt(x, y)) {
                continue;
            }
            bool touches = false;
            for (int dy = -1; dy <= 1 && !touches; ++dy) {
                for (int dx = -1; dx <= 1 && !touches; ++dx) {
                    touches = opaqueAt(x + dx, y + dy);
                }
            }
            if (touches) {
                image.setPixel(x, y, Palette::outline);
            }
        }
    }
}

// Shapes stay inside the 1 px margin so the outline fits on the canvas.
QImage drawIcon(const std::function<void(QPainter &)> &draw) {
    QImage image(iconSize, iconSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(Qt::NoPen);
        draw(painter);
    }
    snapToPalette(image);
    addOutline(image);
    return image;
}

void fill(QPainter &p, const QPainterPath &path, QRgb colour) {
    p.fillPath(path, c(colour));
}

void disc(QPainter &p, QPointF centre, double radius, QRgb colour) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    fill(p, path, colour);
}

void polygon(QPainter &p, const QPolygonF &points, QRgb colour) {
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    fill(p, path, colour);
}

void line(QPainter &p, QPointF from, QPointF to, double width, QRgb colour) {
    p.setPen(QPen(c(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    p.setPen(Qt::NoPen);
}

void pixels(QPainter &p, int left, int top, const QList<const char *> &rows, QRgb colour) {
    for (int row = 0; row < rows.size(); ++row) {
        for (int col = 0; rows[row][col] != '\0'; ++col) {
            if (rows[row][col] == '#') {
                p.fillRect(left + col, top + row, 1, 1, c(colour));
            }
        }
    }
}

QPainterPath appleBody() {
    QPainterPath path;
    path.moveTo(16, 10);
    path.cubicTo(19, 7.5, 29.5, 7, 29.5, 17.5);
    path.cubicTo(29.5, 25, 24, 30, 20.5, 30);
    path.cubicTo(18.5, 30, 17.5, 29, 16, 29);
    path.cubicTo(14.5, 29, 13.5, 30, 11.5, 30);
    path.cubicTo(8, 30, 2.5, 25, 2.5, 17.5);
    path.cubicTo(2.5, 7, 13, 7.5, 16, 10);
    return path;
}

void drawApple(QPainter &p, QRgb body, QRgb shine) {
    fill(p, appleBody(), body);
    line(p, {16, 11}, {17.5, 3}, 2.5, Palette::brown);
    QPainterPath leaf;
    leaf.moveTo(18.5, 6.5);
    leaf.cubicTo(20, 2, 25, 1.5, 28, 2.5);
    leaf.cubicTo(27, 6, 22, 8.5, 18.5, 6.5);
    fill(p, leaf, Palette::green);
    QPainterPath highlight;
    highlight.addEllipse(QPointF(8.5, 16), 2, 3.5);
    fill(p, highlight, shine);
}

QImage apple(QRgb body, QRgb shine) {
    return drawIcon([body, shine](QPainter &p) { drawApple(p, body, shine); });
}

QImage heart() {
    return drawIcon([](QPainter &p) {
        QPainterPath path;
        path.moveTo(16, 29);
        path.cubicTo(5, 21, 2, 15, 2, 10);
        path.cubicTo(2, 5.5, 5.5, 3, 9, 3);
        path.cubicTo(12, 3, 14.5, 5, 16, 8);
        path.cubicTo(17.5, 5, 20, 3, 23, 3);
        path.cubicTo(26.5, 3, 30, 5.5, 30, 10);
        path.cubicTo(30, 15, 27, 21, 16, 29);
        fill(p, path, Palette::red);
        QPainterPath shine;
        shine.addEllipse(QPointF(8.5, 9), 3, 2.5);
        fill(p, shine, Palette::pink);
        p.fillRect(7, 8, 2, 1, c(Palette::white));
    });
}

QImage flag() {
    return drawIcon([](QPainter &p) {
        p.fillRect(3, 3, 2, 27, c(Palette::brown));
        disc(p, {4, 3}, 2, Palette::yellow);
        // Swedish proportions: 5 + 2 + 9 across, 4 + 2 + 4 down.
        p.fillRect(6, 5, 24, 16, c(Palette::blue));
        p.fillRect(13, 5, 4, 16, c(Palette::yellow));
        p.fillRect(6, 11, 24, 4, c(Palette::yellow));
    });
}

QImage bicycle() {
    return drawIcon([](QPainter &p) {
        const QPointF rear(7.5, 23);
        const QPointF front(24.5, 23);
        for (const QPointF hub : {rear, front}) {
            disc(p, hub, 6.5, Palette::outline);
            disc(p, hub, 5, Palette::lightGrey);
            disc(p, hub, 1.5, Palette::darkGrey);
        }
        const QPointF crank(15, 23);
        const QPointF seat(11.5, 12);
        const QPointF head(22, 12);
        const QList<QLineF> tubes{{rear, seat}, {rear, crank}, {seat, crank},
                                  {seat, head}, {head, crank}, {head, front}};
        for (const QLineF &tube : tubes) {
            line(p, tube.p1(), tube.p2(), 2, Palette::red);
        }
        line(p, head, {22, 6}, 2, Palette::grey);
        p.fillRect(18, 5, 5, 2, c(Palette::grey));
        p.fillRect(8, 9, 7, 2, c(Palette::brown));
        disc(p, crank, 1.5, Palette::grey);
    });
}

QImage globe() {
    return drawIcon([](QPainter &p) {
        QPainterPath sea;
        sea.addEllipse(QPointF(16, 16), 14, 14);
        fill(p, sea, Palette::blue);
        p.setClipPath(sea);
        polygon(p,
                {{5, 7},
                 {12, 4},
                 {15, 8},
                 {13, 12},
                 {15, 16},
                 {12, 19},
                 {12, 25},
                 {9, 27},
                 {8, 21},
                 {5, 17},
                 {2, 13}},
                Palette::green);
        polygon(p,
                {{19, 5},
                 {26, 6},
                 {30, 11},
                 {28, 14},
                 {24, 13},
                 {25, 19},
                 {22, 23},
                 {19, 18},
                 {20, 13},
                 {17, 10}},
                Palette::green);
        polygon(p, {{22, 26}, {27, 23}, {28, 26}, {24, 29}}, Palette::green);
        p.setClipping(false);
        QPainterPath shine;
        shine.addEllipse(QPointF(22, 6.5), 2, 1);
        fill(p, shine, Palette::lightBlue);
    });
}

QImage alarmClock() {
    return drawIcon([](QPainter &p) {
        line(p, {8, 27}, {6, 29}, 2.5, Palette::outline);
        line(p, {24, 27}, {26, 29}, 2.5, Palette::outline);
        disc(p, {7.5, 7.5}, 5, Palette::yellow);
        disc(p, {24.5, 7.5}, 5, Palette::yellow);
        line(p, {16, 3}, {16, 7}, 2, Palette::outline);
        disc(p, {16, 18}, 11.5, Palette::purple);
        disc(p, {16, 18}, 8.5, Palette::white);
        line(p, {16, 18}, {16, 12}, 2, Palette::outline);
        line(p, {16, 18}, {20.5, 18}, 2, Palette::outline);
        p.fillRect(15, 11, 2, 1, c(Palette::red));
    });
}

QImage key() {
    return drawIcon([](QPainter &p) {
        QPainterPath bow;
        bow.addEllipse(QPointF(10, 16), 8.5, 8.5);
        bow.addEllipse(QPointF(8.5, 16), 3, 3);
        bow.setFillRule(Qt::OddEvenFill);
        fill(p, bow, Palette::gold);
        p.fillRect(17, 13, 13, 6, c(Palette::gold));
        p.fillRect(21, 19, 3, 5, c(Palette::gold));
        p.fillRect(26, 19, 4, 7, c(Palette::gold));
        p.fillRect(17, 14, 12, 2, c(Palette::yellow));
        QPainterPath shine;
        shine.addEllipse(QPointF(9, 10), 3, 1.5);
        fill(p, shine, Palette::yellow);
    });
}

QImage snowflake() {
    return drawIcon([](QPainter &p) {
        const QPointF centre(16, 16);
        const auto at = [centre](double angleDegrees, double radius) {
            const double a = angleDegrees * std::numbers::pi / 180.0;
            return QPointF(centre.x() + radius * std::sin(a), centre.y() - radius * std::cos(a));
        };
        for (int arm = 0; arm < 6; ++arm) {
            const double angle = arm * 60.0;
            line(p, centre, at(angle, 13), 3, Palette::lightBlue);
            const QPointF fork = at(angle, 8.5);
            line(p, fork, fork + (at(angle - 45, 12.5) - at(angle - 45, 8.5)), 2.5,
                 Palette::lightBlue);
            line(p, fork, fork + (at(angle + 45, 12.5) - at(angle + 45, 8.5)), 2.5,
                 Palette::lightBlue);
        }
        QPolygonF hexagon;
        for (int corner = 0; corner < 6; ++corner) {
            hexagon << at(corner * 60.0 + 30.0, 4.5);
        }
        polygon(p, hexagon, Palette::white);
    });
}

QImage aeroplane() {
    return drawIcon([](QPainter &p) {
        polygon(
            p,
            {{14.5, 10}, {2, 18}, {2, 22}, {14.5, 17}, {17.5, 17}, {30, 22}, {30, 18}, {17.5, 10}},
            Palette::orange);
        polygon(p, {{15, 23}, {9, 27}, {9, 30}, {15, 28}, {17, 28}, {23, 30}, {23, 27}, {17, 23}},
                Palette::orange);
        p.fillRect(6, 17, 3, 4, c(Palette::darkGrey));
        p.fillRect(23, 17, 3, 4, c(Palette::darkGrey));
        QPainterPath body;
        body.addRoundedRect(QRectF(13, 2, 6, 28), 3, 4);
        fill(p, body, Palette::grey);
        p.fillRect(14, 5, 4, 3, c(Palette::lightBlue));
    });
}

QPolygonF octagon(double inset) {
    // Corner cut of a regular octagon inscribed in the 30 px square.
    const double lo = 1.0 + inset;
    const double hi = 31.0 - inset;
    const double cut = (hi - lo) / (2.0 + std::numbers::sqrt2);
    return {{lo + cut, lo}, {hi - cut, lo}, {hi, lo + cut}, {hi, hi - cut},
            {hi - cut, hi}, {lo + cut, hi}, {lo, hi - cut}, {lo, lo + cut}};
}

QImage stopSign() {
    return drawIcon([](QPainter &p) {
        polygon(p, octagon(0), Palette::red);
        polygon(p, octagon(1), Palette::white);
        polygon(p, octagon(2), Palette::red);
        // Hand-placed letters: no font stays legible at this size.
        const QList<QList<const char *>> letters{
            {".###", "#...", "#...", ".##.", "...#", "...#", "###."},
            {"####", ".##.", ".##.", ".##.", ".##.", ".##.", ".##."},
            {".##.", "#..#", "#..#", "#..#", "#..#", "#..#", ".##."},
            {"###.", "#..#", "#..#", "###.", "#...", "#...", "#..."},
        };
        for (int i = 0; i < letters.size(); ++i) {
            pixels(p, 6 + 5 * i, 13, letters[i], Palette::white);
        }
    });
}

// The settings tool: the exercise's apple with a cog in front of it.
void drawSettingsTool(QPainter &p) {
    p.save();
    p.translate(-1, -1);
    p.scale(0.85, 0.85);
    drawApple(p, Palette::red, Palette::pink);
    p.restore();

    const QPointF centre(22.5, 22.5);
    QPainterPath cog;
    cog.addEllipse(centre, 6.5, 6.5);
    for (int tooth = 0; tooth < 8; ++tooth) {
        QTransform turn;
        turn.translate(centre.x(), centre.y());
        turn.rotate(tooth * 45.0);
        QPainterPath rect;
        rect.addRect(-1.75, -9, 3.5, 4);
        cog = cog.united(turn.map(rect));
    }
    QPainterPath hole;
    hole.addEllipse(centre, 2.5, 2.5);
    const QPainterPath wheel = cog.subtracted(hole);
    fill(p, wheel, Palette::darkGrey);
    // Its own rim sets the cog apart where it lies over the apple.
    p.strokePath(wheel, QPen(c(Palette::outline), 1.2));
    QPainterPath rim;
    rim.addEllipse(centre, 4.5, 4.5);
    fill(p, rim.subtracted(hole), Palette::grey);
}

// Menus and docks want sharp icons far above 32 px, so the same drawing is rendered smooth at
// each size, with the dark rim scaled along.
QImage drawSmooth(const std::function<void(QPainter &)> &draw, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::NoPen);
        painter.scale(size / double(iconSize), size / double(iconSize));
        draw(painter);
    }
    image = image.convertToFormat(QImage::Format_ARGB32);

    const double radius = std::max(1.0, size / double(iconSize));
    const int reach = int(std::ceil(radius));
    QImage rim(size, size, QImage::Format_ARGB32);
    rim.fill(Qt::transparent);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int alpha = 0;
            for (int dy = -reach; dy <= reach; ++dy) {
                for (int dx = -reach; dx <= reach; ++dx) {
                    if (dx * dx + dy * dy <= radius * radius && image.valid(x + dx, y + dy)) {
                        alpha = std::max(alpha, qAlpha(image.pixel(x + dx, y + dy)));
                    }
                }
            }
            rim.setPixel(x, y, (QRgb(alpha) << 24) | (Palette::outline & 0xffffff));
        }
    }
    QPainter painter(&rim);
    painter.drawImage(0, 0, image);
    painter.end();
    return rim;
}

} // namespace

QList<IconFile> applicationIcons() {
    QList<IconFile> icons;
    for (const int size : applicationIconSizes) {
        const QString folder = QString("app/icons/%1x%1").arg(size);
        icons.append(
            {folder, "tavrin.png",
             drawSmooth([](QPainter &p) { drawApple(p, Palette::red, Palette::pink); }, size)});
        icons.append({folder, "tavrinset.png", drawSmooth(drawSettingsTool, size)});
    }
    return icons;
}

QList<IconFile> allIcons() {
    return {
        {"starter", "hjarta.ico", heart()},
        {"starter", "appel.ico", apple(Palette::lime, Palette::white)},
        {"starter", "flagga.ico", flag()},
        {"starter", "cykel.ico", bicycle()},
        {"starter", "jordglob.ico", globe()},
        {"starter", "klocka.ico", alarmClock()},
        {"starter", "nyckel.ico", key()},
        {"starter", "snoflinga.ico", snowflake()},
        {"starter", "flygplan.ico", aeroplane()},
        {"app", "apple.ico", apple(Palette::red, Palette::pink)},
        {"app", "stop.ico", stopSign()},
    };
}

} // namespace IconDrawing
