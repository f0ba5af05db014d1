#include "uistate.h"

#include "profile/language.h"
#include "profile/paths.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QWidget>

#include <cmath>
#include <limits>
#include <utility>

namespace {

double g_scale = 1.0;
int g_themeIndex = 0;
bool g_alternateStyle = false;
std::function<bool()> g_deviceConnected;
QPointer<QWidget> g_messageBoxParent;

const QColor kThemeColors[THEME_COLOR_COUNT] = {
    QColor(255, 0, 0),     QColor(0, 255, 0),   QColor(0, 0, 255),   QColor(219, 200, 182),
    QColor(255, 0, 255),   QColor(0, 255, 255), QColor(255, 125, 0),
};

} // namespace

double scaleFactor()
{
    return g_scale;
}

bool setScaleFactor(double factor)
{
    if (!std::isfinite(factor) || factor <= 0.0)
        return false;
    g_scale = factor;
    return true;
}

int scaled(int value)
{
    const double product = std::trunc(value * g_scale);
    // Saturate instead of overflowing for absurd inputs.
    if (product >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (product <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(product);
}

QSize scaled(const QSize &size)
{
    return QSize(scaled(size.width()), scaled(size.height()));
}

QRect scaled(const QRect &rect)
{
    return QRect(scaled(rect.x()), scaled(rect.y()), scaled(rect.width()), scaled(rect.height()));
}

QColor themeColor(int index)
{
    if (index < 0 || index >= THEME_COLOR_COUNT)
        index = 0;
    return kThemeColors[index];
}

QColor themeColor()
{
    return themeColor(g_themeIndex);
}

int themeColorIndex()
{
    return g_themeIndex;
}

void setThemeColorIndex(int index)
{
    g_themeIndex = (index >= 0 && index < THEME_COLOR_COUNT) ? index : 0;
}

bool alternateStyle()
{
    return g_alternateStyle;
}

void setAlternateStyle(bool on)
{
    g_alternateStyle = on;
}

void setDeviceConnectedQuery(std::function<bool()> query)
{
    g_deviceConnected = std::move(query);
}

bool isDeviceConnected()
{
    return g_deviceConnected && g_deviceConnected();
}

void setMessageBoxParent(QWidget *parent)
{
    g_messageBoxParent = parent;
}

QWidget *messageBoxParent()
{
    return g_messageBoxParent.data();
}

QString appFilePath(const QString &relative)
{
    return applicationDir() + relative;
}

void setScaledPixelSize(QFont &font, int px)
{
    font.setPixelSize(qMax(1, scaled(px)));
}

QFont scaledPageFont(const QFont &base, int fixedPx, int shrink)
{
    const QFont language = pageFont();
    QFont font = base;
    if (language.resolve() & QFont::FamilyResolved)
        font.setFamily(language.family());
    const int px = fixedPx > 0 ? fixedPx : language.pixelSize();
    if (px > 0)
        setScaledPixelSize(font, px - shrink);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont dialogFont()
{
    QFont font(QStringLiteral("Consolas"));
    font.setWeight(QFont::Bold);
    setScaledPixelSize(font, 14);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QString menuStyleSheet()
{
    return QStringLiteral(
        "QMenu{background-color:rgb(50,50,50);border:none;}"
        "QMenu::item{background-color:rgb(50,50,50);border:none;color:white;text-align:center;"
        "padding:0px 20px;margin:0px 0px;}"
        "QMenu::item:selected{background-color:rgb(150,150,150);}"
        "QMenu::item:pressed{background-color:rgb(200,200,200);}");
}

QString toolTipStyleSheet()
{
    const QColor c = themeColor();
    return QStringLiteral("QToolTip{background-color:rgb(50,50,50);color:rgb(235,235,235);"
                          "border:1px solid rgb(%1,%2,%3);padding:2px;}")
        .arg(c.red())
        .arg(c.green())
        .arg(c.blue());
}

namespace {

class FocuslessStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element == PE_FrameFocusRect)
            return;
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

} // namespace

void useFocuslessStyle()
{
    if (dynamic_cast<FocuslessStyle *>(QApplication::style()))
        return;
    QApplication::setStyle(new FocuslessStyle(QStyleFactory::create(QApplication::style()->objectName())));
}

QString dialogButtonStyleSheet()
{
    const QColor c = themeColor();
    return QString::asprintf("QToolButton{background: rgb(0, 0, 0); color: rgb(255, 255, 255);"
                             "                       border-radius: 3px;  border: 1px rgb(%d, %d, %d);"
                             "                       border-style: outset;}",
                             c.red(), c.green(), c.blue());
}

void paintDialogFrame(QPainter &painter, const QWidget *widget, const QPixmap &background)
{
    const QRect all = widget->rect();
    if (background.isNull())
        painter.fillRect(all, QColor(30, 30, 30));
    else
        painter.drawPixmap(all, background);
    painter.setPen(QPen(themeColor(), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(1, 1, all.width() - 2, all.height() - 2));
}
