#pragma once
// The device description DefaultProfile.bin (INI, group PROFILE, read-only)
// and the read-only device keys of Config.ini.

#include "records.h"
#include <QString>
#include <array>

struct DeviceDescription {
    quint8 dpi = 0;
    qint32 xy[8] = {};
    qint32 pollrate = 0;
    quint8 LedMode = 0;
    quint8 Style = 0;
    quint8 FontSize[4] = {};
    quint8 ButtonCount = 0;        // stored as read (masked)
    QString FontName[4];
    QColor Font_RGB;
    QString BackPic;
    QString CompanyName;
    QString ProductName;
    QString FolderPath;
    quint8 Lang[4] = {};
    struct Effect { QColor colour; qint32 bright = 0; qint32 breath = 0; } effects[EFFECT_COUNT];
    struct Button {
        qint32 ID = 0, Fun = 0, LoopNumber = 0, KeyNumber = 0;
        quint8 Res1 = 0, Res2 = 0, Res3 = 0, Res4 = 0;
    } buttons[20];
};

bool descriptionExists();
// Fills the record from the file; returns false (record all zero) when the file is missing.
bool readDeviceDescription(DeviceDescription &out);

// Single keys of group PROFILE, read on demand with their documented defaults
// (ShowSleep 1, SleepMax 9, MinDelay 10, vid/pid 0x248A/0xFA02/0x248A/0xFB01 ...).
int descriptionInt(const QString &key);     // key without the "PROFILE/" prefix
QString descriptionString(const QString &key);

// The light's sleep time choices: PROFILE/SleepMin to PROFILE/SleepMax
// (1 and 9 by default); a maximum below the minimum is raised to it.
struct SleepRange {
    int min = 1;
    int max = 9;
};
SleepRange sleepRange();
// PROFILE/ShowSleep (1 by default): 0 hides the sleep time and move-off options.
bool sleepShown();

QString productName();          // PROFILE/ProductName
QString productVersion();       // PROFILE/Version
int buttonCount();              // ButtonCount ^ MouseDpi (0 without the file)
int dpiStageCount();            // ButtonCount ^ MouseDpi ^ DPICount

// Fills 16 bytes from BUTTON_INFO_%d_Matrix; 0, or -1 (table untouched) without the file.
int readButtonMatrix(quint8 out[16]);
// Fills 16 bytes from BUTTON_INFO_%d_Matrix2; the button count, or -1 without the file.
int readButtonMatrix2(quint8 out[16]);

// The device-side index table the button block addresses buttons through;
// filled by loadProfileSet (readButtonMatrix), all zero until then.
std::array<quint8, 16> &buttonMatrix();

// a within b-9 .. b+9
bool nearValue(int a, int b);

// Read-only device keys of the program-wide Config.ini.
int sensorCode();               // MouseSenSor/1
int ledVariant();               // MouseLEDMode/<current product>
QString mouseListName();        // Mouse_List/0
