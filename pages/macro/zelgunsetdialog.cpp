#include "zelgunsetdialog.h"

#include "macrorows.h"
#include "profile/inifile.h"
#include "profile/paths.h"
#include "widgets/logging.h"
#include "widgets/uistate.h"
#include "widgets/zelaction.h"
#include "widgets/zellabel.h"
#include "widgets/zelmessagebox.h"
#include "widgets/zelpushbutton.h"

#include <QDebug>
#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QSpinBox>
#include <QToolButton>

using namespace macro;

namespace {

const QRect kShotArea(159, 137, 297, 48);

int sc(double scale, int v)
{
    return int(v * scale);
}

QRect sc(double scale, const QRect &r)
{
    return QRect(sc(scale, r.x()), sc(scale, r.y()), sc(scale, r.width()), sc(scale, r.height()));
}

} // namespace

ZelGunsetDialog::ZelGunsetDialog(QWidget *parent, double scale)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_dScale(scale > 0 ? scale : 1.0)
{
    setFixedSize(sc(m_dScale, 619), sc(m_dScale, 400));
    setAttribute(Qt::WA_TranslucentBackground);
    m_Background.load(appFilePath(QStringLiteral("/skin/dlg_gun.png")));
    m_Track.load(appFilePath(QStringLiteral("/skin/gunset_slider.png")));
    m_Bullet.load(appFilePath(QStringLiteral("/skin/gunset_bullet.png")));

    QPalette white = palette();
    white.setColor(QPalette::WindowText, Qt::white);
    const auto label = [&](const QRect &r, Qt::Alignment align) {
        auto *l = new ZelLabel(this);
        l->setPalette(white);
        l->setAlignment(align);
        l->setGeometry(sc(m_dScale, r));
        return l;
    };
    m_pTitle = label(QRect(20, 20, 300, 20), Qt::AlignLeft | Qt::AlignVCenter);
    m_pTitle->setFont(dialogFont());
    m_pTitle->setFixedPixelSize(14);
    m_pTitle->setFixedFont(true);
    m_pNameLabel = label(QRect(40, 62, 160, 24), Qt::AlignRight | Qt::AlignVCenter);
    m_pShotLabel = label(QRect(40, 100, 160, 24), Qt::AlignRight | Qt::AlignVCenter);
    m_pDelayLabel = label(QRect(20, 205, 125, 24), Qt::AlignRight | Qt::AlignVCenter);
    m_pXLabel = label(QRect(20, 240, 125, 24), Qt::AlignRight | Qt::AlignVCenter);
    m_pYLabel = label(QRect(20, 275, 125, 24), Qt::AlignRight | Qt::AlignVCenter);

    m_pNameEdit = new QLineEdit(this);
    m_pNameEdit->setObjectName(QStringLiteral("gunNameEdit"));
    m_pNameEdit->setMaxLength(100);
    m_pNameEdit->setStyleSheet(QStringLiteral("border:1px solid rgb(90,90,90);background:rgb(30,30,30);color:white"));
    m_pNameEdit->setGeometry(sc(m_dScale, QRect(210, 62, 246, 24)));

    m_pShotSel = new ZelPushButton({appFilePath(QStringLiteral("/skin/bulletsel.png"))}, this);
    m_pShotSel->setObjectName(QStringLiteral("gunShotSelector"));
    m_pShotSel->setGeometry(sc(m_dScale, QRect(210, 100, 60, 24)));
    m_pShotMenu = new QMenu(this);
    m_pShotMenu->setStyleSheet(menuStyleSheet());
    for (int n = 1; n <= MAX_SHOTS; ++n) {
        auto *action = new ZelAction(QString::number(n), m_pShotMenu);
        m_pShotMenu->addAction(action);
        connect(action, &QAction::triggered, this, [this, n] { setShotCount(n); });
    }
    connect(m_pShotSel, &QPushButton::clicked, this, [this] {
        m_pShotMenu->popup(m_pShotSel->mapToGlobal(QPoint(0, m_pShotSel->height())));
    });

    const QString spinStyle = QStringLiteral("color: rgb(225,225,225);background:rgb(82,82,82)");
    const auto spin = [&](int lo, int hi, int value, int shot, int y) {
        auto *box = new QSpinBox(this);
        box->setRange(lo, hi);
        box->setValue(value);
        box->setStyleSheet(spinStyle);
        box->setAlignment(Qt::AlignCenter);
        const QPoint c = station(shot);
        box->setGeometry(sc(m_dScale, QRect(c.x() - 28, y, 56, 24)));
        return box;
    };
    for (int i = 0; i < MAX_SHOTS; ++i) {
        m_pDelay[i] = spin(1, 999, 100, i, 205);
        m_pX[i] = spin(-100, 100, 0, i, 240);
        m_pY[i] = spin(-100, 100, 0, i, 275);
    }

    m_pList = new QListWidget(this);
    m_pList->hide();

    const auto button = [&](const QString &icon, const QString &name, int x) {
        auto *b = new QToolButton(this);
        b->setObjectName(name);
        b->setGeometry(sc(m_dScale, QRect(x, 335, 100, 30)));
        b->setFocusPolicy(Qt::NoFocus);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        if (QFile::exists(icon))
            b->setIcon(QIcon(icon));
        b->setFont(dialogFont());
        b->setStyleSheet(dialogButtonStyleSheet());
        return b;
    };
    m_pYesBtn = button(QStringLiteral(":/yes_Btn"), QStringLiteral("msgBoxYesBtn"), 190);
    m_pNoBtn = button(QStringLiteral(":/no_Btn"), QStringLiteral("msgBoxNoBtn"), 329);
    connect(m_pYesBtn, &QToolButton::released, this, &ZelGunsetDialog::OnYesClick);
    connect(m_pNoBtn, &QToolButton::released, this, &QDialog::reject);

    const QFont font = scaledPageFont();
    for (QWidget *w : {static_cast<QWidget *>(m_pNameEdit), static_cast<QWidget *>(m_pShotSel)})
        w->setFont(font);
    for (int i = 0; i < MAX_SHOTS; ++i) {
        m_pDelay[i]->setFont(font);
        m_pX[i]->setFont(font);
        m_pY[i]->setFont(font);
    }
    setShotCount(MAX_SHOTS);
    retranslate();
}

QPoint ZelGunsetDialog::station(int shot) const
{
    // The five stations of the rail picture, spread over the shot area.
    return QPoint(kShotArea.x() + 30 + qRound(shot * (kShotArea.width() - 60) / 4.0), kShotArea.center().y());
}

void ZelGunsetDialog::setShotCount(int shots)
{
    m_iShots = qBound(1, shots, int(MAX_SHOTS));
    for (int i = 0; i < MAX_SHOTS; ++i) {
        const bool on = i < m_iShots;
        m_pDelay[i]->setVisible(on);
        m_pX[i]->setVisible(on);
        m_pY[i]->setVisible(on);
    }
    m_pShotSel->setText(QString::number(m_iShots));
    update(sc(m_dScale, kShotArea));
}

void ZelGunsetDialog::retranslate()
{
    setWindowTitle(tr("Gun Set"));
    m_pTitle->setText(tr("GUN SET"));
    m_pNameLabel->setText(tr("GUNFILE NAME"));
    m_pShotLabel->setText(tr("BULLETS"));
    m_pDelayLabel->setText(tr("DELAY(MS)"));
    m_pXLabel->setText(tr("MOVE X"));
    m_pYLabel->setText(tr("MOVE Y"));
    m_pYesBtn->setText(tr("OK"));
    m_pNoBtn->setText(tr("CANCEL"));
}

void ZelGunsetDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

int ZelGunsetDialog::showMessage(int type, const QString &text)
{
    if (m_Message)
        return m_Message(type, text);
    ZelMessageBox box(type, QString(), tr("Warning"), text, this);
    return box.exec();
}

void ZelGunsetDialog::OnYesClick()
{
    const QString name = m_pNameEdit->text().trimmed();
    if (name.isEmpty()) {
        showMessage(2, tr("Please input file name."));
        return;
    }
    if (!isSafeFileName(name)) {
        showMessage(2, tr("This name cannot be used for a file. Please choose another name."));
        return;
    }
    m_pList->clear();
    QVector<GunShot> shots;
    for (int i = 0; i < m_iShots; ++i)
        shots.append(GunShot{m_pDelay[i]->value(), m_pX[i]->value(), m_pY[i]->value()});
    const QIcon icon(appFilePath(QStringLiteral("/skin/mouse_move.png")));
    for (const KeyInfo &row : gunSetEvents(shots)) {
        QString text;
        if (isMouseButtonRow(row))
            text = isPressRow(row) ? tr(" DOWN") : tr(" UP");
        else if (row.map == CODE_MOVE)
            text = QStringLiteral(" : %1").arg(row.dataH ? moveRowX(row) : moveRowY(row));
        else
            text = QStringLiteral("%1 ms").arg(delayRowUnits(row) * 10);
        auto *item = new QListWidgetItem(icon, text);
        item->setData(Qt::UserRole, row.map);
        item->setData(Qt::UserRole + 1, row.dataH);
        item->setData(Qt::UserRole + 2, row.dataL);
        // After the current row, then current itself: the rows keep their order.
        m_pList->insertItem(m_pList->currentRow() + 1, item);
        m_pList->setCurrentItem(item);
    }
    m_strResultName = name;
    accept();
}

QVector<KeyInfo> ZelGunsetDialog::resultEvents() const
{
    QVector<KeyInfo> rows;
    for (int i = 0; i < m_pList->count(); ++i) {
        const QListWidgetItem *item = m_pList->item(i);
        KeyInfo row;
        row.map = quint8(item->data(Qt::UserRole).toInt());
        row.dataH = quint8(item->data(Qt::UserRole + 1).toInt());
        row.dataL = quint8(item->data(Qt::UserRole + 2).toInt());
        rows.append(row);
    }
    return rows;
}

bool ZelGunsetDialog::writeGunFile(const QString &path) const
{
    if (path.isEmpty())
        return false;
    ensureParentDir(path);
    const QVector<KeyInfo> rows = resultEvents().mid(0, KEYINFO_COUNT);
    IniFile file(path);
    file.remove(QStringLiteral("Setting"));
    file.beginGroup(QStringLiteral("Setting"));
    file.setValue(QStringLiteral("MacroFilePath"), path);
    file.setValue(QStringLiteral("DefaultDelay"), 10);
    file.setValue(QStringLiteral("DelayType"), 1);
    file.setValue(QStringLiteral("LoopType"), 0);
    file.setValue(QStringLiteral("LoopTime"), 1);
    file.setValue(QStringLiteral("Count"), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const QString n = QString::number(i);
        file.setValue(QStringLiteral("Map_") + n, QString::number(rows[i].map));
        file.setValue(QStringLiteral("DataH_") + n, QString::number(rows[i].dataH));
        file.setValue(QStringLiteral("DataL_") + n, QString::number(rows[i].dataL));
    }
    file.endGroup();
    file.sync();
    if (file.status() != QSettings::NoError) {
        qCDebug(lcUi, "Gun file %s could not be written", qPrintable(path));
        return false;
    }
    return true;
}

void ZelGunsetDialog::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintDialogFrame(painter, this, m_Background);
    const QRect area = sc(m_dScale, kShotArea);
    if (!m_Track.isNull())
        painter.drawPixmap(area, m_Track);
    if (!m_Bullet.isNull()) {
        const QSize bullet(sc(m_dScale, 12), sc(m_dScale, 30));
        for (int i = 0; i < m_iShots; ++i) {
            const QPoint c = station(i);
            painter.drawPixmap(QRect(QPoint(sc(m_dScale, c.x()) - bullet.width() / 2, area.top() + sc(m_dScale, 2)),
                                     bullet),
                               m_Bullet);
        }
    }
}
