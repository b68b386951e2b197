#pragma once
// The ten persisted settings and their registry store.
#include <windows.h>

struct SettingsRecord {
    LONG Showtime = 180;  // seconds per phase
    LONG Speed = 10;      // pause after each frame, ms
    LONG Algorithm = 6;   // 0..5 a motion row, 6 random per phase
    LONG Infinity = 1;    // phases never end on time
    COLORREF Color = 0x00FF0000;
    LONG Rainbow = 0;
    LONG Mode = 0;
    LONG Round = 0;
    LONG LineNew = 0;
    LONG FPS = 0;
};

extern SettingsRecord Settings;

extern const wchar_t kSettingsKeyPath[];  // under HKEY_CURRENT_USER
extern const wchar_t kSettingsKeyClass[];

void LoadSettings();
void SaveSettings();
