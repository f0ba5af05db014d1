#include "generator.h"

#include "gifwriter.h"
#include "icowriter.h"
#include "mouseart.h"
#include "theme.h"
#include "windowlayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

namespace skingen {

namespace {

void add(Pictures &list, const QString &path, const QImage &image)
{
    list.push_back({path, image});
}

void addWindowFamily(Pictures &l)
{
    add(l, QStringLiteral("cfgMainback.png"), mainBackground());
    // tabbutton: 1 normal, 3 hover, 2 pressed / selected
    add(l, QStringLiteral("tabbutton-1.png"), tabButton(Look::Normal));
    add(l, QStringLiteral("tabbutton-3.png"), tabButton(Look::Hover));
    add(l, QStringLiteral("tabbutton-2.png"), tabButton(Look::Pressed));
    const Look looks[3] = {Look::Normal, Look::Hover, Look::Pressed};
    for (int i = 0; i < 3; ++i) {
        add(l, QStringLiteral("min-%1.png").arg(i + 1), windowButton(WindowGlyph::Minimise, looks[i]));
        add(l, QStringLiteral("close-%1.png").arg(i + 1), windowButton(WindowGlyph::Close, looks[i]));
    }
    add(l, QStringLiteral("lang.png"), languageButton());
}

void addProfileFamily(Pictures &l)
{
    add(l, QStringLiteral("profilesel.png"), selectButton(150, 29));
    add(l, QStringLiteral("bulletsel.png"), selectButton(60, 24));
    add(l, QStringLiteral("profile_edit_name_1.png"), profileSlotButton(false));
    add(l, QStringLiteral("profile_edit_name_2.png"), profileSlotButton(true));
    add(l, QStringLiteral("profile_apply1.png"), toolButton(ToolGlyph::List, Look::Normal));
    add(l, QStringLiteral("profile_import1.png"), toolButton(ToolGlyph::Import, Look::Normal));
    add(l, QStringLiteral("profile_import2.png"), toolButton(ToolGlyph::Import, Look::Hover));
    add(l, QStringLiteral("profile_export1.png"), toolButton(ToolGlyph::Export, Look::Normal));
    const struct {
        const char *name;
        ActionGlyph glyph;
    } actions[] = {{"reset", ActionGlyph::Reset}, {"add", ActionGlyph::Add}, {"del", ActionGlyph::Delete},
                   {"copy", ActionGlyph::Copy}};
    for (const auto &a : actions) {
        const QString base = QStringLiteral("profile_") + QLatin1String(a.name);
        add(l, base + QStringLiteral("1.png"), actionButton(a.glyph, Look::Normal));
        add(l, base + QStringLiteral("2.png"), actionButton(a.glyph, Look::Hover));
    }
}

void addControlFamily(Pictures &l)
{
    add(l, QStringLiteral("checkbox1-1.png"), checkBox(false));
    add(l, QStringLiteral("checkbox1-2.png"), checkBox(true));
    add(l, QStringLiteral("checkbox2-1.png"), optionButton(false));
    add(l, QStringLiteral("checkbox2-2.png"), optionButton(true));
    add(l, QStringLiteral("radio1-1.png"), radioIndicator(false));
    add(l, QStringLiteral("radio1-2.png"), radioIndicator(true));
    add(l, QStringLiteral("pspeed.png"), speedGroove());
    add(l, QStringLiteral("slider_groove.png"), sliderGroove());
    add(l, QStringLiteral("slider_handle.png"), sliderHandle(false));
    add(l, QStringLiteral("slider_handle_hover.png"), sliderHandle(true));
    add(l, QStringLiteral("btn_1.png"), marker(false));
    add(l, QStringLiteral("btn_2.png"), marker(true));
    // btn_up1 / 2: plain pair (1 lit, 2 normal); btn_up3 / 4: ringed pair (3 lit, 4 normal)
    for (int style = 0; style < 2; ++style) {
        const int lit = 1 + 2 * style;
        add(l, QStringLiteral("btn_up%1.png").arg(lit), wheelMarker(true, style, true));
        add(l, QStringLiteral("btn_up%1.png").arg(lit + 1), wheelMarker(true, style, false));
        add(l, QStringLiteral("btn_down%1.png").arg(lit), wheelMarker(false, style, true));
        add(l, QStringLiteral("btn_down%1.png").arg(lit + 1), wheelMarker(false, style, false));
    }
}

void addStatusFamily(Pictures &l)
{
    add(l, QStringLiteral("bat1.png"), battery(false));
    add(l, QStringLiteral("bat2.png"), battery(true));
    add(l, QStringLiteral("wireless.png"), wireless());
    add(l, QStringLiteral("lightning.png"), lightning());
    add(l, QStringLiteral("warn.png"), warningIcon());
    add(l, QStringLiteral("dongle2.png"), dongleIcon());
    add(l, QStringLiteral("process.png"), busyPlate());
    add(l, QStringLiteral("icon.png"), appIcon(256));
}

void addDialogFamily(Pictures &l)
{
    add(l, QStringLiteral("dlg.png"), dialogBackground(478, 309));
    add(l, QStringLiteral("dlg_gun.png"), gunDialogBackground());
    add(l, QStringLiteral("gunset_slider.png"), gunSetTrack());
    add(l, QStringLiteral("gunset_bullet.png"), gunSetBullet());
}

void addMacroFamily(Pictures &l)
{
    add(l, QStringLiteral("macro_back.png"), macroPageBackground());
    add(l, QStringLiteral("delay.png"), rowIcon(RowIcon::Delay));
    add(l, QStringLiteral("keydown.png"), rowIcon(RowIcon::KeyDown));
    add(l, QStringLiteral("keyup.png"), rowIcon(RowIcon::KeyUp));
    add(l, QStringLiteral("keybo.png"), rowIcon(RowIcon::Keyboard));
    add(l, QStringLiteral("mouse_move.png"), rowIcon(RowIcon::MouseMove));
    // move to top: normal, hover, pressed, disabled
    const Look looks[4] = {Look::Normal, Look::Hover, Look::Pressed, Look::Disabled};
    for (int i = 0; i < 4; ++i)
        add(l, QStringLiteral("top%1.png").arg(i + 1), toolButton(ToolGlyph::MoveTop, looks[i]));
    for (int i = 0; i < 3; ++i) {
        add(l, QStringLiteral("macro_new%1.png").arg(i + 1), toolButton(ToolGlyph::NewMacro, looks[i]));
        add(l, QStringLiteral("macro_del%1.png").arg(i + 1), toolButton(ToolGlyph::DeleteMacro, looks[i]));
    }
}

void addMouseFamily(Pictures &l)
{
    for (const MouseDesign &d : mouseDesigns()) {
        const QString dir = QStringLiteral("mouse/%1/").arg(d.name);
        add(l, dir + QStringLiteral("Mouse.png"), renderTopView(d));
        add(l, dir + QStringLiteral("Mouse_Side.png"), renderSideView(d));
        for (const MouseButtonArt &b : d.buttons)
            add(l, dir + QStringLiteral("mouse_%1.png").arg(b.number), renderTopView(d, b.number));
    }
}

bool writeFile(const QString &path, const QByteArray &data, QString *error)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.commit()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

bool writePng(const QString &path, const QImage &image, QString *error)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    // Straight alpha is what PNG stores; converting first keeps edges exact.
    if (!image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
        if (error)
            *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

} // namespace

Pictures skinPictures()
{
    Pictures list;
    addWindowFamily(list);
    addProfileFamily(list);
    addControlFamily(list);
    addStatusFamily(list);
    addDialogFamily(list);
    addMacroFamily(list);
    for (Picture &picture : macroEditorPictures()) list.push_back(std::move(picture));
    addMouseFamily(list);
    addLightingPictures(list);
    addPerformanceFamily(list);
    addAppIconFamily(list);
    return list;
}

bool writeSkin(const QString &skinDir, QStringList *written, QString *error)
{
    const QDir root(skinDir);
    for (const Picture &pic : skinPictures()) {
        if (!writePng(root.filePath(pic.path), pic.image, error))
            return false;
        if (written)
            written->append(pic.path);
    }

    QVector<QImage> sizes;
    for (int side : {16, 32, 48, 256})
        sizes.append(appIcon(side));
    if (!writeFile(root.filePath(QStringLiteral("icon.ico")), encodeIco(sizes), error))
        return false;
    if (written)
        written->append(QStringLiteral("icon.ico"));

    for (const MouseDesign &d : mouseDesigns()) {
        const QString rel = QStringLiteral("mouse/%1/layout.ini").arg(d.name);
        if (!writeFile(root.filePath(rel), layoutIni(d), error))
            return false;
        if (written)
            written->append(rel);
    }
    return true;
}

QByteArray busyAnimationGif()
{
    GifOptions options;
    options.delayCs = 4;  // 24 frames: one turn in just under a second
    options.loopCount = 0;
    options.matte = QColor(0x1b, 0x1e, 0x24); // the busy plate and the page panel
    options.alphaThreshold = 40;
    return encodeGif(busyFrames(24), options);
}

bool writeResources(const QString &dir, QStringList *written, QString *error)
{
    const QDir root(dir);
    if (!writeFile(root.filePath(QStringLiteral("loading.gif")), busyAnimationGif(), error))
        return false;
    if (!writePng(root.filePath(QStringLiteral("yes_btn.png")), acceptIcon(), error))
        return false;
    if (!writePng(root.filePath(QStringLiteral("no_btn.png")), rejectIcon(), error))
        return false;
    const QByteArray qrc = "<!DOCTYPE RCC>\n"
                           "<RCC version=\"1.0\">\n"
                           "  <qresource prefix=\"/\">\n"
                           "    <file alias=\"skin/loading.gif\">loading.gif</file>\n"
                           "    <file alias=\"yes_Btn\">yes_btn.png</file>\n"
                           "    <file alias=\"no_Btn\">no_btn.png</file>\n"
                           "  </qresource>\n"
                           "</RCC>\n";
    if (!writeFile(root.filePath(QStringLiteral("skin_resources.qrc")), qrc, error))
        return false;
    if (written)
        *written << QStringLiteral("loading.gif") << QStringLiteral("yes_btn.png") << QStringLiteral("no_btn.png")
                 << QStringLiteral("skin_resources.qrc");
    return true;
}

// ---------------------------------------------------------------------------
// Preview: the main window as the program composes it, for looking at.

namespace {

struct Composer {
    QDir skin;
    QPainter &p;

    QImage load(const QString &name) const { return QImage(skin.filePath(name)); }

    void image(const QString &name, const QRect &r) const
    {
        const QImage img = load(name);
        if (!img.isNull())
            p.drawImage(r, img);
    }

    // A skinned button as the program paints it: picture stretched over the
    // button, text centred in the language font and the look's colour.
    void button(const QString &name, const QRect &r, const QString &text, int look) const
    {
        image(name, r);
        static const QColor ink[4] = {QColor(200, 200, 200), QColor(225, 225, 225), Qt::white,
                                      QColor(100, 100, 100)};
        p.setPen(ink[look]);
        p.setFont(uiFont(12, false));
        p.drawText(r.adjusted(3, 3, -3, -3), Qt::AlignCenter, text);
    }
};

} // namespace

QImage previewWindow(const QString &skinDir, qreal scale)
{
    const QSize size(int(layout::kWidth * scale), int(layout::kHeight * scale));
    QImage out(size, QImage::Format_ARGB32_Premultiplied);
    out.fill(QColor(0x5a, 0x6b, 0x7d)); // a desktop behind the window
    {
        QPainter p(&out);
        prepare(p);
        p.scale(scale, scale);
        Composer c{QDir(skinDir), p};
        c.image(QStringLiteral("cfgMainback.png"), QRect(0, 0, layout::kWidth, layout::kHeight));

        const char *tabs[4] = {"LIGHTING", "CUSTOMIZE", "DPI", "MACRO"};
        for (int i = 0; i < 4; ++i)
            c.button(i == 1 ? QStringLiteral("tabbutton-2.png")
                            : (i == 2 ? QStringLiteral("tabbutton-3.png") : QStringLiteral("tabbutton-1.png")),
                     layout::tab(i), QString::fromLatin1(tabs[i]), i == 1 ? 2 : (i == 2 ? 1 : 0));
        c.button(QStringLiteral("tabbutton-1.png"), layout::modelSelector(), QStringLiteral("VELKOR"), 0);
        c.button(QStringLiteral("lang.png"), layout::language(), QStringLiteral("English"), 0);
        c.image(QStringLiteral("min-1.png"), layout::minimise());
        c.image(QStringLiteral("close-2.png"), layout::close());

        p.setPen(theme::text());
        p.setFont(uiFont(12, false));
        p.drawText(layout::version(), Qt::AlignCenter, QStringLiteral("Version V1.0.3"));
        c.button(QStringLiteral("profilesel.png"), layout::profileSlot(), QStringLiteral("Mode 1"), 0);
        for (int i = 0; i < 5; ++i)
            c.button(i == 0 ? QStringLiteral("profile_edit_name_2.png") : QStringLiteral("profile_edit_name_1.png"),
                     layout::profileButton(i), QStringLiteral("Profile %1").arg(i + 1), i == 0 ? 2 : 0);
        p.setPen(theme::text());
        p.drawText(layout::nameLabel(), Qt::AlignCenter, QStringLiteral("NAME"));
        p.fillRect(layout::nameField(), QColor(30, 30, 30));
        p.drawText(layout::nameField(), Qt::AlignCenter, QStringLiteral("Default"));
        c.image(QStringLiteral("profile_apply1.png"), layout::profileFile());
        c.image(QStringLiteral("profile_import1.png"), layout::profileImport());
        c.image(QStringLiteral("profile_export1.png"), layout::profileExport());
        c.button(QStringLiteral("profile_reset1.png"), layout::reset(), QStringLiteral("RESET"), 0);
        c.button(QStringLiteral("profile_add2.png"), layout::add(), QStringLiteral("ADD"), 1);
        c.button(QStringLiteral("profile_del1.png"), layout::remove(), QStringLiteral("DELETE"), 0);
        c.button(QStringLiteral("profile_copy1.png"), layout::copy(), QStringLiteral("COPY"), 0);

        // Battery: white bar with the theme-coloured chunk at 70 %.
        c.image(QStringLiteral("bat1.png"), layout::battery());
        const QRect bar = layout::batteryBar();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRoundedRect(bar, 2, 2);
        p.setBrush(theme::accent());
        p.drawRoundedRect(QRect(bar.left(), bar.top(), bar.width() * 7 / 10, bar.height()), 2, 2);
        p.setPen(Qt::black);
        p.setFont(uiFont(16, true));
        p.drawText(bar, Qt::AlignCenter, QStringLiteral("70%"));
        c.image(QStringLiteral("wireless.png"), layout::connection());

        // CUSTOMIZE page, front view, button 1 hovered on the button page.
        c.button(QStringLiteral("tabbutton-2.png"), layout::frontButton(), QStringLiteral("Front"), 2);
        c.button(QStringLiteral("tabbutton-1.png"), layout::sideButton(), QStringLiteral("Side"), 0);
        const QRect pic = layout::mousePicture();
        c.image(QStringLiteral("mouse/VELKOR/mouse_1.png"), pic);
        QSettings ini(QDir(skinDir).filePath(QStringLiteral("mouse/VELKOR/layout.ini")), QSettings::IniFormat);
        const auto markerAt = [&](const QString &key) {
            const QStringList xy = ini.value(key).toStringList();
            return xy.size() == 2 ? QPoint(xy[0].toInt(), xy[1].toInt()) : QPoint(-100, -100);
        };
        for (int n = 1; n <= 20; ++n) {
            const QString key = QStringLiteral("Front/Button%1").arg(n);
            if (!ini.contains(key))
                continue;
            const QPoint at = pic.topLeft() + markerAt(key) - QPoint(9, 9);
            c.image(n == 1 ? QStringLiteral("btn_2.png") : QStringLiteral("btn_1.png"), QRect(at, QSize(18, 18)));
        }
        c.image(QStringLiteral("btn_up4.png"), QRect(pic.topLeft() + markerAt(QStringLiteral("Extra/Up")) - QPoint(9, 9), QSize(18, 18)));
        c.image(QStringLiteral("btn_down4.png"), QRect(pic.topLeft() + markerAt(QStringLiteral("Extra/Down")) - QPoint(9, 9), QSize(18, 18)));

        // A few button-page rows: gradient mode buttons with badges.
        const char *functions[4] = {"Left", "Right", "Middle", "Back"};
        for (int i = 0; i < 4; ++i) {
            const QRect r(285 + 56, 342 + 30 + 40 * i, 220, 30);
            c.image(QStringLiteral("tabbutton-1.png"), r);
            if (i == 0) {
                QLinearGradient g(r.topLeft() + QPoint(60, 50), r.topLeft() + QPoint(200, 150));
                g.setColorAt(0.0, theme::withAlpha(theme::accent(), 160));
                g.setColorAt(1.0, theme::withAlpha(theme::accent(), 40));
                p.fillRect(r, g);
            }
            p.setPen(i == 0 ? QColor(225, 225, 225) : QColor(200, 200, 200));
            p.setFont(uiFont(12, false));
            p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("  %1").arg(i + 1));
            p.drawText(r.adjusted(3, 3, -3, -3), Qt::AlignCenter, QString::fromLatin1(functions[i]));
        }

        const char *bottom[7] = {"Reset All", "LOAD1", "SAVE", "Firmware Update", "OK", "Cancel", "Apply"};
        for (int i = 0; i < 7; ++i)
            c.button(i == 6 ? QStringLiteral("tabbutton-3.png") : QStringLiteral("tabbutton-1.png"),
                     layout::bottomButton(i), QString::fromLatin1(bottom[i]), i == 6 ? 1 : 0);
    }
    return out;
}

QImage contactSheet(const QString &skinDir, int maxSide, int zoom)
{
    const QDir dir(skinDir);
    const int width = 1600;
    const int pad = 14;
    struct Cell {
        QString name;
        QImage img;
        QPoint at;
    };
    QVector<Cell> cells;
    int x = pad, y = pad, rowH = 0;
    for (const Picture &pic : skinPictures()) {
        QImage img(dir.filePath(pic.path));
        if (img.isNull() || std::max(img.width(), img.height()) > maxSide)
            continue;
        if (zoom > 1)
            img = img.scaled(img.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (img.width() > width - 2 * pad)
            img = img.scaledToWidth(width - 2 * pad, Qt::SmoothTransformation);
        const int cw = std::max(img.width(), 100);
        if (x + cw > width - pad) {
            x = pad;
            y += rowH + 26;
            rowH = 0;
        }
        cells.append({pic.path, img, QPoint(x, y)});
        x += cw + pad;
        rowH = std::max(rowH, img.height());
    }
    QImage out(width, y + rowH + 40, QImage::Format_ARGB32_Premultiplied);
    out.fill(QColor(0x2a, 0x2f, 0x38));
    QPainter p(&out);
    prepare(p);
    p.setFont(uiFont(11, false));
    for (const Cell &c : cells) {
        p.drawImage(c.at, c.img);
        p.setPen(QColor(0xd0, 0xd0, 0xd0));
        p.drawText(QRect(c.at.x(), c.at.y() + c.img.height() + 3, std::max(c.img.width(), 100) + pad, 16),
                   Qt::AlignLeft, QFileInfo(c.name).fileName());
    }
    return out;
}

} // namespace skingen
