// The yardstick: a bare Qt widget program with a frameless window of the
// main window's size, painting a plain background. BENCH_BARE_RASTER=1 starts
// it without the GL set-up, as mousecfg starts.

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
    // As mousecfg starts: windows without the GL set-up.
    if (qEnvironmentVariableIsSet("BENCH_BARE_RASTER"))
        QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    QApplication app(argc, argv);
    BareWindow window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.resize(999, 640);
    window.show();
    return app.exec();
}
