// The toolkit's floor: the least a Qt Widgets program does to put a window of the exercise's size
// with one coloured child on the screen. The benchmarks compare both programs against it.
#include <QApplication>
#include <QPalette>
#include <QWidget>

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
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(641, 460);
    fill(window, QColor(128, 255, 255));
    QWidget child(&window);
    child.setGeometry(4, 95, 562, 361);
    fill(child, QColor(255, 255, 128));
    window.show();
    return app.exec();
}
