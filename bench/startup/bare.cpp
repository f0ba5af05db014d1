// The yardstick: a bare Qt widget program with a frameless window of the
// main window's size, painting a plain background.

#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {
class BareWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(26, 29, 35));
    }
};
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    BareWindow window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.resize(999, 640);
    window.show();
    return app.exec();
}
