#pragma once
// The LIGHTING tab: the lighting page beside the mouse picture, which shows
// the chosen light where the skin has a light zone.

#include "app/settingspage.h"

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QStringList>

class ZelColorWindow;

class LightingTab : public SettingsPage {
    Q_OBJECT
public:
    // `showPicture` puts a picture in the window's front picture,
    // `mousePicture` gives the skin's plain pictures at the window's scale.
    LightingTab(const PageSite &site, std::function<void(const QPixmap &)> showPicture,
                std::function<QPixmap(const QString &)> mousePicture, QObject *parent = nullptr);

    void setShown(bool shown) override;

    // A lighting mode reported by the mouse.
    void showReportedLightMode(quint8 mode);
    // The window put another picture in the front picture.
    void forgetPicture() { m_bLightPictureShown = false; }

    ZelColorWindow *page() const { return m_pColorWindow; }

    // The skin's pictures the lit picture is drawn from, for a product: worth
    // reading ahead while the window is built.
    static QStringList lightPicturePaths(const QString &product);

protected:
    void build(bool shown) override;
    void loadFrom(ProfileSet &set) override;

private:
    // The mouse picture with the chosen light, while LIGHTING is shown.
    void refreshLightingPicture();

    std::function<void(const QPixmap &)> m_ShowPicture;
    std::function<QPixmap(const QString &)> m_MousePicture;
    ZelColorWindow *m_pColorWindow = nullptr;
    bool m_bShown = false;
    bool m_bLightPictureShown = false;
    // What the lit picture shows (skin folder, size, effect, colour,
    // brightness) and the skin's pictures it is drawn from: the picture is
    // drawn again only when one of them changed.
    QString m_LightPictureKey;
    QString m_LightSkinFolder;
    QImage m_LightBase;
    QImage m_LightZone;
};
