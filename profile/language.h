#pragma once
// Interface language: LangConfig.ini holds the choice, Config.ini's FONT_LIST
// the list of languages with their catalogue and font.

#include <QFont>
#include <QString>

enum { LANGUAGE_LIST_SIZE = 10 };

struct LanguageList {
    int count = 0;                      // FONT_LIST/LANGNUM, kept within 0..10
    QString names[LANGUAGE_LIST_SIZE];  // LangName_0..9; empty beyond count
    QString files[LANGUAGE_LIST_SIZE];  // LangFile_0..9; empty beyond count
};

int readLanguageId();           // Config/LangID of LangConfig.ini, 0 when absent
void writeLanguageId(int id);
void readLanguageList(LanguageList &list);

// <appdir>/lang/<file>.qm for a catalogue base name.
QString languageCatalogPath(const QString &file);

// Process-wide index of the current language.
int currentLanguageIndex();
void setCurrentLanguageIndex(int index);

// Family and pixel size of the current language (Qt's defaults where missing).
// Sizes are the unscaled ones; callers multiply by the screen scale factor.
QFont pageFont();
QString pageFontFamily();
int pageFontPixelSize();   // 0 when not configured
