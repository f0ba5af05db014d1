#pragma once
// One DPI stage row: stage number, enable box, "Link XY" box, the slider
// pair and the X, Y and DPI labels with the sensor's range under the slider.

#include <QWidget>

class QCheckBox;
class ZelLabel;
class ZelTwoBarSlider;

class ZelSingleDPI : public QWidget
{
    Q_OBJECT
public:
    explicit ZelSingleDPI(uchar index, QWidget *parent = nullptr);

    uchar index() const { return m_iIndex; }
    // Range, range labels and whether X and Y may be unlinked, by sensor
    // code; an unknown code changes none of them.
    void setSensor(int sensor);
    int sensor() const { return m_iSensor; }
    // Refresh from the record: no signal.
    void setLink(uchar link);
    void setEnabledStage(uchar enable);
    void setValues(int x, int y);
    uchar link() const { return m_iLink; }
    uchar enabledStage() const { return m_iEnable; }
    int xValue() const { return m_iX; }
    int yValue() const { return m_iY; }

    // Geometry: the scale factor and the row's height in design units.
    void setScale(double scale, int designHeight);
    // Colour of every label of the row.
    void setLabelColor(const QColor &color);

    ZelTwoBarSlider *slider() const { return m_pSlider; }
    QCheckBox *linkBox() const { return m_pLinkBox; }
    QCheckBox *enableBox() const { return m_pEnableBox; }
    ZelLabel *numberLabel() const { return m_pNumber; }
    ZelLabel *xLabel() const { return m_pXLabel; }
    ZelLabel *yLabel() const { return m_pYLabel; }
    ZelLabel *dpiLabel() const { return m_pDpiLabel; }
    ZelLabel *minLabel() const { return m_pMinLabel; }
    ZelLabel *maxLabel() const { return m_pMaxLabel; }
    QList<ZelLabel *> labels() const;

signals:
    void DPISignal(int x, int y, uchar index);
    void LinkSignal(uchar link, uchar index);
    void EnableSignal(uchar enable, uchar index);
    void MouseinSignal(uchar index);

public slots:
    void onStateChanged(int state);
    void onSliderChanged(int x, int y);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void showValues();
    void layoutChildren();
    void retranslate();

    uchar m_iIndex = 0;
    int m_iSensor = 0;
    uchar m_iLink = 1;
    uchar m_iEnable = 1;
    int m_iX = 0;
    int m_iY = 0;
    double m_dScale = 1.0;
    int m_iDesignHeight = 48;

    ZelLabel *m_pNumber = nullptr;
    QCheckBox *m_pLinkBox = nullptr;
    QCheckBox *m_pEnableBox = nullptr;
    ZelTwoBarSlider *m_pSlider = nullptr;
    ZelLabel *m_pXLabel = nullptr;
    ZelLabel *m_pYLabel = nullptr;
    ZelLabel *m_pDpiLabel = nullptr;
    ZelLabel *m_pMinLabel = nullptr;
    ZelLabel *m_pMaxLabel = nullptr;
};

// The skinned check box style sheet of the DPI tab (enable boxes and the
// paired option boxes), with white text.
QString performanceCheckBoxSheet();
