#pragma once
// Interface language: LangConfig.ini holds the choice, Config.ini's FONT_LIST
// the list of languages with their catalogue and font.

#include <QFont>
#include <QString>

struct LanguageList {
    int count = 0;
    QString names[10];
    QString files[10];
};

int readLanguageId();
void writeLanguageId(int id);
void readLanguageList(LanguageList &list);

// Process-wide index of the current language.
int currentLanguageIndex();
void setCurrentLanguageIndex(int index);

// Family and pixel size of the current language (Qt's defaults where missing).
QFont pageFont();
QString pageFontFamily();
int pageFontPixelSize();   // 0 when not configured
