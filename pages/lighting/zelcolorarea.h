#pragma once
// "Color Edit": the modal colour picker. A hue strip, a saturation/value
// square, a preview, seven presets, fields for hue, saturation, value, red,
// green and blue and a hexadecimal field all show one colour; changing any
// of them updates the others. APPLY accepts, Cancel rejects; the opener reads
// color() after acceptance.

#include <QColor>
#include <QDialog>
#include <QPixmap>

class DefaultColorArea;
class HColorArea;
class PreviewColorArea;
class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;
class SVColorArea;
class ZelLabel;

class ZelColorArea : public QDialog
{
    Q_OBJECT
public:
    enum Field { FieldH, FieldS, FieldV, FieldR, FieldG, FieldB, FIELD_COUNT };
    enum { PRESET_COUNT = 7 };

    explicit ZelColorArea(QWidget *parent = nullptr);

    // Presets every part of the dialog with the colour (an unset colour
    // counts as black).
    void setColor(const QColor &color);
    QColor color() const { return m_Color; }
    int hue() const { return m_iH; }
    int saturation() const { return m_iS; }
    int value() const { return m_iV; }

    static QColor presetColor(int index);

    // The parts, for tests and for the opener's look.
    HColorArea *hueArea() const { return m_pHue; }
    SVColorArea *svArea() const { return m_pSV; }
    PreviewColorArea *previewArea() const { return m_pPreview; }
    DefaultColorArea *preset(int index) const { return m_pPresets[index]; }
    QSpinBox *field(Field field) const { return m_pFields[field]; }
    QLineEdit *hexEdit() const { return m_pHex; }
    QToolButton *applyButton() const { return m_pApply; }
    QToolButton *cancelButton() const { return m_pCancel; }
    // How many times a change was carried to the other parts (one per edit).
    int propagationCount() const { return m_iPropagations; }

signals:
    void ZelChangeColor(QColor color);
    void ApplyColor(QColor color);

public slots:
    void color_clicked();
    void hValueChangedSlot(int value);
    void sValueChangedSlot(int value);
    void vValueChangedSlot(int value);
    void rValueChangedSlot(int value);
    void gValueChangedSlot(int value);
    void bValueChangedSlot(int value);
    void updateEditData(int h, int s, int v);
    void editChangedSlot(const QString &text);
    void editFinishedSlot();
    void MouseReleaseSlot();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    // Starts one propagation; false while another one runs.
    bool enter();
    void leave();
    void fromHsvFields();
    void fromRgbFields();
    void fromRgb(const QColor &colour);
    void showHsv();
    void showRgb();
    void showHex();
    void announce();

    QColor m_Color = Qt::black;
    int m_iH = 0;
    int m_iS = 0;
    int m_iV = 0;
    bool m_bGuard = false;
    int m_iPropagations = 0;

    QPixmap m_Background;
    ZelLabel *m_pTitle = nullptr;
    HColorArea *m_pHue = nullptr;
    SVColorArea *m_pSV = nullptr;
    PreviewColorArea *m_pPreview = nullptr;
    DefaultColorArea *m_pPresets[PRESET_COUNT] = {};
    QSpinBox *m_pFields[FIELD_COUNT] = {};
    ZelLabel *m_pFieldLabels[FIELD_COUNT] = {};
    ZelLabel *m_pHexLabel = nullptr;
    ZelLabel *m_pPresetLabel = nullptr;
    QLineEdit *m_pHex = nullptr;
    QToolButton *m_pApply = nullptr;
    QToolButton *m_pCancel = nullptr;
};
