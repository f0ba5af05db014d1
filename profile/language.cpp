#include "language.h"

#include "inifile.h"
#include "paths.h"
#include "slotcache.h"

#include <QFile>

#include <atomic>
#include <mutex>

namespace {
std::atomic<int> g_currentLanguage{0};
}

int readLanguageId()
{
    return lowI32(iniInt(IniFile(languageConfigPath()), QStringLiteral("Config/LangID")));
}

void writeLanguageId(int id)
{
    const QString path = languageConfigPath();
    ensureParentDir(path);
    IniFile(path).setValue(QStringLiteral("Config/LangID"), id);
}

void readLanguageList(LanguageList &list)
{
    list = LanguageList();
    IniFile ini(globalConfigPath());
    ini.beginGroup(QStringLiteral("FONT_LIST"));
    // The list has room for ten languages; a larger count must not walk past it.
    list.count = qBound(0, lowI32(iniInt(ini, QStringLiteral("LANGNUM"))), static_cast<int>(LANGUAGE_LIST_SIZE));
    for (int i = 0; i < list.count; ++i) {
        list.names[i] = ini.value(QStringLiteral("LangName_") + QString::number(i)).toString();
        list.files[i] = ini.value(QStringLiteral("LangFile_") + QString::number(i)).toString();
    }
}

QString languageCatalogPath(const QString &file)
{
    return applicationDir() + QStringLiteral("/lang/") + file + QStringLiteral(".qm");
}

int currentLanguageIndex()
{
    return g_currentLanguage.load();
}

void setCurrentLanguageIndex(int index)
{
    g_currentLanguage.store(index);
}

namespace {

struct FontChoice {
    QString family;
    int pixelSize = 0;   // 0 when not configured
};

// What Config.ini says of the current language's font. Widgets ask for it on
// every paint and relayout, so it is read once and read again only when the
// language or the file (its size, times or inode) changes.
FontChoice currentFontChoice()
{
    static std::mutex mutex;
    static QString cachedPath;
    static int cachedIndex = -1;
    static SlotFileStamp cachedStamp;
    static FontChoice cached;

    const QString path = globalConfigPath();
    const int index = currentLanguageIndex();
    const SlotFileStamp stamp = stampSlotFile(path);
    std::lock_guard<std::mutex> lock(mutex);
    if (path != cachedPath || index != cachedIndex || stamp != cachedStamp) {
        IniFile ini(path);
        cached.family = ini.value(QStringLiteral("FONT_LIST/FONT_%1").arg(index)).toString();
        const qint64 px = iniInt(ini, QStringLiteral("FONT_LIST/FONT_SIZE_%1").arg(index));
        // An unsigned size: anything outside a sane pixel range counts as not configured.
        cached.pixelSize = px > 0 && px <= 1000 ? static_cast<int>(px) : 0;
        cachedPath = path;
        cachedIndex = index;
        cachedStamp = stamp;
    }
    return cached;
}

} // namespace

QString pageFontFamily()
{
    return currentFontChoice().family;
}

int pageFontPixelSize()
{
    return currentFontChoice().pixelSize;
}

QFont pageFont()
{
    const FontChoice choice = currentFontChoice();
    QFont font;
    if (!choice.family.isEmpty())
        font.setFamily(choice.family);
    if (choice.pixelSize > 0)
        font.setPixelSize(choice.pixelSize);
    return font;
}
