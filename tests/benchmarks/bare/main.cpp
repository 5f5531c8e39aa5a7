// SPDX-FileCopyrightText: 2026 The Tavrin developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's floor: the least a Qt Widgets program does to put a window of the exercise's size
// with one coloured child on the screen. The benchmarks compare both programs against it.
//
// With --design it also pays for what the two programs' design asks of every window: a black
// borderless backdrop over the whole screen, shown first, and a line of text in the child. The
// difference between the two floors is the price of the design; what the programs spend above
// the second is their own.
#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <cstring>

namespace {

void fill(QWidget &widget, const QColor &colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const bool design = argc > 1 && std::strcmp(argv[1], "--design") == 0;

    QWidget backdrop(nullptr, Qt::FramelessWindowHint);
    if (design) {
        fill(backdrop, Qt::black);
        backdrop.showMaximized();
    }

    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(641, 460);
    fill(window, QColor(128, 255, 255));
    QWidget child(&window);
    child.setGeometry(4, 95, 562, 361);
    fill(child, QColor(255, 255, 128));
    QLabel text(QStringLiteral("KLAR"), &child);
    text.setVisible(design);
    // Centred, as both programs show theirs.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                               screen->geometry()));
    window.show();
    return app.exec();
}
