#include "app/lightingtab.h"
#include "app/preload.h"
#include "pages/lighting/lighting.h"
#include "pages/lighting/zelcolorwindow.h"
#include "profile/configstore.h"
#include "profile/profileset.h"
#include "widgets/uistate.h"

#include <QLabel>

LightingTab::LightingTab(const PageSite &site, std::function<void(const QPixmap &)> showPicture,
                         std::function<QPixmap(const QString &)> mousePicture, QObject *parent)
    : SettingsPage(site, parent), m_ShowPicture(std::move(showPicture)), m_MousePicture(std::move(mousePicture))
{
}

void LightingTab::build(bool shown)
{
    m_pColorWindow = new ZelColorWindow(scaleFactor(), window());
    place(m_pColorWindow, 285, 342, ZelColorWindow::BASE_WIDTH, ZelColorWindow::BASE_HEIGHT);
    connect(m_pColorWindow, &ZelColorWindow::LightChangedSignal, this, &LightingTab::refreshLightingPicture);
    connect(m_pColorWindow, &ZelColorWindow::LightChangedSignal, this, &SettingsPage::changed);
    setShown(shown);
}

void LightingTab::loadFrom(ProfileSet &set)
{
    if (!m_pColorWindow)
        return;
    // One lighting setting for all profiles on "6132": always slot 0.
    const int slot = lighting::editedSlot(readCurrentProduct(), set.ProfileID % SLOT_COUNT);
    m_pColorWindow->setProfile(set.profiles[slot], slot);
    refreshLightingPicture();
}

void LightingTab::setShown(bool lightingShown)
{
    m_bShown = lightingShown;
    if (!m_pColorWindow)
        return;
    m_pColorWindow->setVisible(lightingShown);
    if (lightingShown) {
        refreshLightingPicture();
    } else if (m_bLightPictureShown) {
        // The other tabs show the mouse as it is, without the light.
        m_bLightPictureShown = false;
        m_ShowPicture(m_MousePicture(QStringLiteral("Mouse.png")));
    }
}

QStringList LightingTab::lightPicturePaths(const QString &product)
{
    const QString folder = QStringLiteral("/skin/mouse/") + product + QLatin1Char('/');
    return {appFilePath(folder + QStringLiteral("Mouse_Led.png")), appFilePath(folder + QStringLiteral("Mouse_LedZone.png"))};
}

void LightingTab::refreshLightingPicture()
{
    if (!m_pColorWindow || !m_bShown)
        return;
    const QString product = readCurrentProduct();
    const QString folder = QStringLiteral("/skin/mouse/") + product + QLatin1Char('/');
    if (folder != m_LightSkinFolder) {
        m_LightSkinFolder = folder;
        const QStringList paths = lightPicturePaths(product);
        // Kept as they are drawn: the picture premultiplied, of the zone only
        // how much it shines.
        m_LightBase = takeImage(paths.at(0)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QImage zone = takeImage(paths.at(1));
        m_LightZone = zone.isNull() ? zone : zone.convertToFormat(QImage::Format_Alpha8);
    }
    const bool lit = !m_LightBase.isNull() && !m_LightZone.isNull();
    lighting::Preview preview;
    if (const ProfileData *profile = m_pColorWindow->profile()) {
        preview.effect = profile->LedMode;
        if (profile->LedMode <= lighting::LAST_EFFECT) {
            preview.colour = profile->effects[profile->LedMode].colour;
            preview.bright = profile->effects[profile->LedMode].bright;
        }
    }
    const QSize box = scaled(QSize(300, 400));
    const QString key = QStringLiteral("%1|%2x%3|%4|%5|%6")
                            .arg(folder)
                            .arg(box.width())
                            .arg(box.height())
                            .arg(lit ? int(preview.effect) : -1)
                            .arg(lit ? preview.colour.rgba() : 0u)
                            .arg(lit ? int(preview.bright) : -1);
    if (m_bLightPictureShown && key == m_LightPictureKey)
        return;
    QPixmap picture;
    if (!lit) {
        // A skin without a light zone: the plain picture, nothing lit.
        picture = m_MousePicture(QStringLiteral("Mouse.png"));
    } else {
        picture = QPixmap::fromImage(lighting::composePreview(m_LightBase, m_LightZone, preview));
        if (!picture.isNull())
            picture = picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    m_ShowPicture(picture);
    m_bLightPictureShown = true;
    m_LightPictureKey = key;
}

void LightingTab::showReportedLightMode(quint8 mode)
{
    if (!m_pColorWindow)
        return;
    m_pColorWindow->setEffect(mode);
    refreshLightingPicture();
}
