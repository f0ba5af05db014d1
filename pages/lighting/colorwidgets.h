#pragma once
// The colour picker's parts: the hue strip, the saturation/value square, the
// preview and the colour swatch (also the lighting page's swatch).

#include <QColor>
#include <QPixmap>
#include <QWidget>

// A vertical hue strip, red at the bottom and the top, with a white
// triangle at its right marking the current hue.
class HColorArea : public QWidget
{
    Q_OBJECT
public:
    explicit HColorArea(QWidget *parent = nullptr);

    // Design sizes (multiplied by the interface scale): the picture is
    // 34 x 270, the strip 26 wide with 9 pixels above and below.
    enum { BASE_WIDTH = 34, BASE_HEIGHT = 270, BASE_STRIP_WIDTH = 26, BASE_MARGIN = 9 };

    // Moves the marker without telling anyone (the dialog's own updates).
    void setHue(int hue);
    int hue() const { return m_iHue; }
    double fraction() const { return m_dFraction; }
    int margin() const;
    int stripHeight() const;

signals:
    void hueChangedSignal(int hue);
    void mouseReleaseSignal();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void pick(int y);
    void rebuildStrip();

    double m_dFraction = 0.0;
    int m_iHue = 0;
    QPixmap m_Strip;
};

// The saturation/value square of one hue: white to the pure hue from left to
// right, darkening to black downwards. Saturation and value are 0..255 and
// map onto the square's pixels by lighting::levelForOffset/offsetForLevel.
class SVColorArea : public QWidget
{
    Q_OBJECT
public:
    explicit SVColorArea(QWidget *parent = nullptr);

    enum { BASE_SIDE = 128, BASE_MARGIN = 6 };

    // Sets saturation and value and moves the marker, without signals.
    void setSaturationValue(int s, int v);
    int hue() const { return m_iHue; }
    int saturation() const { return m_iSat; }
    int value() const { return m_iVal; }
    int side() const;
    // Top-left corner of the square inside the widget (room for the marker).
    int inset() const;
    // The marker's centre in widget coordinates.
    QPoint markerPos() const;

public slots:
    // Stores the hue, repaints, and reports the colour under the marker.
    void hueChangedSlot(int hue);
    // Stores the hue and repaints only (the dialog's own updates).
    void setHue(int hue);

signals:
    void svChangedSignal(int h, int s, int v);
    void mouseReleaseSignal();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void pick(const QPoint &pos);
    void rebuildLayers();

    int m_iHue = 0;
    int m_iSat = 0;
    int m_iVal = 0;
    QPixmap m_SatLayer;
    QPixmap m_ValLayer;
};

// The colour being edited, large.
class PreviewColorArea : public QWidget
{
    Q_OBJECT
public:
    explicit PreviewColorArea(QWidget *parent = nullptr);
    void setColor(const QColor &color);
    QColor color() const { return m_Color; }

public slots:
    void svChangedSlot(int h, int s, int v);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_Color = Qt::black;
};

// A patch of one colour that reports a press: the dialog's presets and the
// lighting page's swatch.
class DefaultColorArea : public QWidget
{
    Q_OBJECT
public:
    explicit DefaultColorArea(QWidget *parent = nullptr);
    explicit DefaultColorArea(const QColor &color, QWidget *parent = nullptr);
    void setColor(const QColor &color);
    QColor color() const { return m_Color; }

signals:
    void ClickedSignal();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QColor m_Color = Qt::black;
};
