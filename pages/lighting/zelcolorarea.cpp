#include "zelcolorarea.h"

#include "colorwidgets.h"
#include "lighting.h"
#include "widgets/uistate.h"
#include "widgets/zellabel.h"

#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>

namespace {

// Design size of the dialog; every place below is multiplied by the scale.
const QSize kDialogSize(440, 336);

QString fieldSheet()
{
    const QColor accent = themeColor();
    return QStringLiteral("QSpinBox,QLineEdit{background:rgb(20,22,27);color:rgb(225,225,225);"
                          "border:1px solid rgb(70,74,82);border-radius:3px;padding:0px %4px;"
                          "selection-background-color:rgb(%1,%2,%3);}"
                          "QSpinBox:focus,QLineEdit:focus{border:1px solid rgb(%1,%2,%3);}")
        .arg(accent.red())
        .arg(accent.green())
        .arg(accent.blue())
        .arg(scaled(4));
}

} // namespace

QColor ZelColorArea::presetColor(int index)
{
    static const QRgb presets[PRESET_COUNT] = {qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(0, 0, 255),
                                               qRgb(0, 255, 255), qRgb(255, 255, 0), qRgb(255, 0, 255),
                                               qRgb(255, 255, 255)};
    return (index >= 0 && index < PRESET_COUNT) ? QColor(presets[index]) : QColor();
}

ZelColorArea::ZelColorArea(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("ZelColorArea"));
    setModal(true);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(scaled(kDialogSize));
    m_Background.load(appFilePath(QStringLiteral("/skin/colordlg.png")));

    QPalette light = palette();
    light.setColor(QPalette::WindowText, QColor(210, 210, 210));

    m_pTitle = new ZelLabel(this);
    m_pTitle->setPalette(light);
    m_pTitle->setFont(dialogFont());
    m_pTitle->setFixedPixelSize(14);
    m_pTitle->setFixedFont(true);
    m_pTitle->setGeometry(scaled(20, 14, 300, 22));

    m_pHue = new HColorArea(this);
    m_pHue->setObjectName(QStringLiteral("hueStrip"));
    m_pHue->setGeometry(scaled(22, 46, HColorArea::BASE_WIDTH, HColorArea::BASE_HEIGHT));
    m_pSV = new SVColorArea(this);
    m_pSV->setObjectName(QStringLiteral("svSquare"));
    const int svOuter = SVColorArea::BASE_SIDE + 2 * SVColorArea::BASE_MARGIN;
    m_pSV->setGeometry(scaled(66, 49, svOuter, svOuter));
    m_pPreview = new PreviewColorArea(this);
    m_pPreview->setObjectName(QStringLiteral("preview"));
    m_pPreview->setGeometry(scaled(72, 198, 128, 118));

    const QString sheet = fieldSheet();
    const QFont font = scaledPageFont(QFont());
    for (int i = 0; i < FIELD_COUNT; ++i) {
        const int column = i / 3;
        const int row = i % 3;
        m_pFieldLabels[i] = new ZelLabel(this);
        m_pFieldLabels[i]->setPalette(light);
        m_pFieldLabels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_pFieldLabels[i]->setGeometry(scaled(210 + 104 * column, 55 + 36 * row, 36, 24));
        m_pFields[i] = new QSpinBox(this);
        m_pFields[i]->setObjectName(QStringLiteral("field%1").arg(QLatin1String("HSVRGB").mid(i, 1)));
        m_pFields[i]->setRange(0, i == FieldH ? 359 : 255);
        m_pFields[i]->setButtonSymbols(QAbstractSpinBox::NoButtons);
        m_pFields[i]->setAlignment(Qt::AlignCenter);
        m_pFields[i]->setStyleSheet(sheet);
        m_pFields[i]->setFont(font);
        m_pFields[i]->setGeometry(scaled(250 + 104 * column, 55 + 36 * row, 66, 24));
    }

    for (int i = 0; i < PRESET_COUNT; ++i) {
        m_pPresets[i] = new DefaultColorArea(presetColor(i), this);
        m_pPresets[i]->setObjectName(QStringLiteral("preset%1").arg(i));
        m_pPresets[i]->setGeometry(scaled(228 + 27 * i, 170, 22, 22));
        connect(m_pPresets[i], &DefaultColorArea::ClickedSignal, this, &ZelColorArea::color_clicked);
    }

    m_pHexLabel = new ZelLabel(this);
    m_pHexLabel->setPalette(light);
    m_pHexLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_pHexLabel->setGeometry(scaled(198, 212, 70, 24));
    m_pHex = new QLineEdit(this);
    m_pHex->setObjectName(QStringLiteral("hexEdit"));
    m_pHex->setMaxLength(7);
    m_pHex->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("#?[0-9A-Fa-f]{0,6}")), m_pHex));
    m_pHex->setAlignment(Qt::AlignCenter);
    m_pHex->setStyleSheet(sheet);
    m_pHex->setFont(font);
    m_pHex->setGeometry(scaled(274, 212, 146, 24));

    const auto makeButton = [this](const QString &icon, const QString &name, int x) {
        auto *button = new QToolButton(this);
        button->setObjectName(name);
        button->setGeometry(scaled(x, 286, 100, 30));
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        if (QFile::exists(icon))
            button->setIcon(QIcon(icon));
        button->setFont(dialogFont());
        button->setStyleSheet(dialogButtonStyleSheet());
        return button;
    };
    m_pApply = makeButton(QStringLiteral(":/yes_Btn"), QStringLiteral("applyButton"), 216);
    m_pCancel = makeButton(QStringLiteral(":/no_Btn"), QStringLiteral("cancelButton"), 320);
    connect(m_pApply, &QToolButton::clicked, this, &QDialog::accept);
    connect(m_pCancel, &QToolButton::clicked, this, &QDialog::reject);

    // Every part follows the others.
    connect(m_pHue, &HColorArea::hueChangedSignal, m_pSV, &SVColorArea::hueChangedSlot);
    connect(m_pSV, &SVColorArea::svChangedSignal, m_pPreview, &PreviewColorArea::svChangedSlot);
    connect(m_pSV, &SVColorArea::svChangedSignal, this, &ZelColorArea::updateEditData);
    void (QSpinBox::*changed)(int) = &QSpinBox::valueChanged;
    connect(m_pFields[FieldH], changed, this, &ZelColorArea::hValueChangedSlot);
    connect(m_pFields[FieldS], changed, this, &ZelColorArea::sValueChangedSlot);
    connect(m_pFields[FieldV], changed, this, &ZelColorArea::vValueChangedSlot);
    connect(m_pFields[FieldR], changed, this, &ZelColorArea::rValueChangedSlot);
    connect(m_pFields[FieldG], changed, this, &ZelColorArea::gValueChangedSlot);
    connect(m_pFields[FieldB], changed, this, &ZelColorArea::bValueChangedSlot);
    connect(m_pHex, &QLineEdit::textEdited, this, &ZelColorArea::editChangedSlot);
    connect(m_pHex, &QLineEdit::editingFinished, this, &ZelColorArea::editFinishedSlot);
    connect(m_pHue, &HColorArea::mouseReleaseSignal, this, &ZelColorArea::MouseReleaseSlot);
    connect(m_pSV, &SVColorArea::mouseReleaseSignal, this, &ZelColorArea::MouseReleaseSlot);

    retranslate();
    setColor(QColor(Qt::black));
    // Typing a colour is the quickest way in.
    m_pHex->setFocus();
}

void ZelColorArea::retranslate()
{
    setWindowTitle(tr("Color Edit"));
    m_pTitle->setText(tr("Color Edit"));
    m_pApply->setText(tr("APPLY"));
    m_pCancel->setText(tr("Cancel"));
    const QString names[FIELD_COUNT] = {tr("H"), tr("S"), tr("V"), tr("R"), tr("G"), tr("B")};
    for (int i = 0; i < FIELD_COUNT; ++i)
        m_pFieldLabels[i]->setText(names[i]);
    m_pHexLabel->setText(tr("HEX"));
    const QString rule = tr("Three or six hexadecimal digits, as in F80 or FF8800; shorter entries are filled "
                            "with zeros on the left.");
    m_pHex->setToolTip(rule);
    m_pHex->setPlaceholderText(tr("e.g. FF8800"));
}

void ZelColorArea::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void ZelColorArea::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    paintDialogFrame(painter, this, m_Background);
}

// ------------------------------------------------------------ propagation --

bool ZelColorArea::enter()
{
    if (m_bGuard)
        return false;
    m_bGuard = true;
    ++m_iPropagations;
    return true;
}

void ZelColorArea::leave()
{
    m_bGuard = false;
}

void ZelColorArea::setColor(const QColor &color)
{
    const QColor rgb = color.isValid() ? color.toRgb() : QColor(Qt::black);
    const bool wasGuarded = m_bGuard;
    m_bGuard = true;
    fromRgb(QColor(rgb.red(), rgb.green(), rgb.blue()));
    showRgb();
    showHex();
    m_bGuard = wasGuarded;
}

void ZelColorArea::showHsv()
{
    m_pFields[FieldH]->setValue(m_iH);
    m_pFields[FieldS]->setValue(m_iS);
    m_pFields[FieldV]->setValue(m_iV);
}

void ZelColorArea::showRgb()
{
    m_pFields[FieldR]->setValue(m_Color.red());
    m_pFields[FieldG]->setValue(m_Color.green());
    m_pFields[FieldB]->setValue(m_Color.blue());
}

void ZelColorArea::showHex()
{
    m_pHex->setText(lighting::hexText(m_Color));
}

void ZelColorArea::announce()
{
    emit ZelChangeColor(m_Color);
    emit ApplyColor(m_Color);
}

// Hue, saturation and value as the fields hold them.
void ZelColorArea::fromHsvFields()
{
    m_iH = m_pFields[FieldH]->value();
    m_iS = m_pFields[FieldS]->value();
    m_iV = m_pFields[FieldV]->value();
    m_Color = QColor::fromHsv(m_iH, m_iS, m_iV).toRgb();
    m_pHue->setHue(m_iH);
    m_pSV->setHue(m_iH);
    m_pSV->setSaturationValue(m_iS, m_iV);
    showRgb();
    showHex();
    m_pPreview->setColor(m_Color);
    announce();
}

// Red, green and blue as the fields hold them.
void ZelColorArea::fromRgbFields()
{
    fromRgb(QColor(m_pFields[FieldR]->value(), m_pFields[FieldG]->value(), m_pFields[FieldB]->value()));
    showHex();
    announce();
}

// Takes an RGB colour over into hue, saturation and value, the strip, the
// square, the preview and the hue/saturation/value fields. A grey has no hue
// of its own: the strip keeps the hue it shows.
void ZelColorArea::fromRgb(const QColor &colour)
{
    m_Color = colour;
    const int h = colour.hsvHue();
    if (h >= 0)
        m_iH = h;
    m_iS = colour.hsvSaturation();
    m_iV = colour.value();
    m_pHue->setHue(m_iH);
    m_pSV->setHue(m_iH);
    m_pSV->setSaturationValue(m_iS, m_iV);
    m_pPreview->setColor(m_Color);
    showHsv();
}

void ZelColorArea::hValueChangedSlot(int)
{
    if (!enter())
        return;
    fromHsvFields();
    leave();
}

void ZelColorArea::sValueChangedSlot(int)
{
    if (!enter())
        return;
    fromHsvFields();
    leave();
}

void ZelColorArea::vValueChangedSlot(int)
{
    if (!enter())
        return;
    fromHsvFields();
    leave();
}

void ZelColorArea::rValueChangedSlot(int)
{
    if (!enter())
        return;
    fromRgbFields();
    leave();
}

void ZelColorArea::gValueChangedSlot(int)
{
    if (!enter())
        return;
    fromRgbFields();
    leave();
}

void ZelColorArea::bValueChangedSlot(int)
{
    if (!enter())
        return;
    fromRgbFields();
    leave();
}

void ZelColorArea::updateEditData(int h, int s, int v)
{
    if (!enter())
        return;
    // The strip's top end reports 360, which is red again.
    m_iH = lighting::normalisedHue(h);
    m_iS = qBound(0, s, 255);
    m_iV = qBound(0, v, 255);
    m_Color = QColor::fromHsv(m_iH, m_iS, m_iV).toRgb();
    m_pPreview->setColor(m_Color);
    showHsv();
    showRgb();
    showHex();
    emit ZelChangeColor(m_Color);
    leave();
}

void ZelColorArea::color_clicked()
{
    auto *swatch = qobject_cast<DefaultColorArea *>(sender());
    if (!swatch || !enter())
        return;
    const QColor c = swatch->color().toRgb();
    {
        const QSignalBlocker r(m_pFields[FieldR]), g(m_pFields[FieldG]), b(m_pFields[FieldB]);
        m_pFields[FieldR]->setValue(c.red());
        m_pFields[FieldG]->setValue(c.green());
        m_pFields[FieldB]->setValue(c.blue());
    }
    fromRgbFields();
    leave();
}

void ZelColorArea::editChangedSlot(const QString &text)
{
    // While typing only the complete forms count; the text stays as typed.
    QColor c;
    if (!lighting::parseCompleteHex(text, &c) || !enter())
        return;
    fromRgb(c);
    showRgb();
    announce();
    leave();
}

void ZelColorArea::editFinishedSlot()
{
    QColor c;
    if (lighting::parseHex(m_pHex->text(), &c) && c != m_Color && enter()) {
        fromRgb(c);
        showRgb();
        announce();
        leave();
    }
    // The field shows the colour in full again; an empty field gets the
    // colour back rather than losing it.
    if (!m_bGuard)
        showHex();
}

void ZelColorArea::MouseReleaseSlot()
{
    emit ApplyColor(m_Color);
}
