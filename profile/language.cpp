#include "language.h"

#include "inifile.h"
#include "paths.h"

#include <atomic>

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

QString pageFontFamily()
{
    return IniFile(globalConfigPath())
        .value(QStringLiteral("FONT_LIST/FONT_%1").arg(currentLanguageIndex()))
        .toString();
}

int pageFontPixelSize()
{
    const qint64 size =
        iniInt(IniFile(globalConfigPath()), QStringLiteral("FONT_LIST/FONT_SIZE_%1").arg(currentLanguageIndex()));
    // An unsigned size: anything outside a sane pixel range counts as not configured.
    return size > 0 && size <= 1000 ? static_cast<int>(size) : 0;
}

QFont pageFont()
{
    IniFile ini(globalConfigPath());
    const int index = currentLanguageIndex();
    const QString family = ini.value(QStringLiteral("FONT_LIST/FONT_%1").arg(index)).toString();
    const qint64 size = iniInt(ini, QStringLiteral("FONT_LIST/FONT_SIZE_%1").arg(index));
    QFont font;
    if (!family.isEmpty())
        font.setFamily(family);
    if (size > 0 && size <= 1000)
        font.setPixelSize(static_cast<int>(size));
    return font;
}
