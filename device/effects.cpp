#include "effects.h"

#include <QCoreApplication>

namespace {

constexpr int kShown = -1;   // shown when a profile holds it, never offered
constexpr int kBright = -1;  // byte 7 of the record: the effect's brightness

// clang-format off
const std::array<LightingEffect, EFFECT_COUNT> kEffects = {{
    // LedMode, name, menu, brightness, speed, colour, upper row, mode,
    //     record: filled, colour, kind, breath, byte 6, byte 7;  the simulator's name
    {0, QT_TRANSLATE_NOOP("ZelColorWindow", "OFF"), 9, false, false, false, false, 1,
        false, false, 0, false, 0, 0, "Off"},
    {1, QT_TRANSLATE_NOOP("ZelColorWindow", "FULL LIGHTED"), 0, true, false, true, false, 2,
        true, true, 1, false, 2, kBright, "Full lighted"},
    {2, QT_TRANSLATE_NOOP("ZelColorWindow", "BREATHING"), 1, false, true, true, true, 3,
        true, true, 1, true, 4, 3, "Breathing"},
    {3, QT_TRANSLATE_NOOP("ZelColorWindow", "7 COLOR BREATHING"), 2, false, true, false, true, 4,
        true, false, 1, true, 1, 3, "7 colour breathing"},
    {4, QT_TRANSLATE_NOOP("ZelColorWindow", "RAINBOW"), 3, true, true, false, false, 5,
        true, false, 1, true, 8, kBright, "Rainbow"},
    // Effects an older profile or the mouse itself may hold: the mouse runs
    // them as WAVE, and they fill no record of their own.
    {5, QT_TRANSLATE_NOOP("ZelColorWindow", "FLASH"), kShown, true, true, false, false, 6,
        false, false, 0, false, 0, 0, nullptr},
    {6, QT_TRANSLATE_NOOP("ZelColorWindow", "Horizontal WAVE"), kShown, true, true, false, false, 6,
        false, false, 0, false, 0, 0, nullptr},
    {7, QT_TRANSLATE_NOOP("ZelColorWindow", "Horizontal GO WITHOUT TRACE"), kShown, true, true, false, false, 6,
        false, false, 0, false, 0, 0, nullptr},
    {8, QT_TRANSLATE_NOOP("ZelColorWindow", "Raindrop"), kShown, true, true, false, false, 6,
        false, false, 0, false, 0, 0, nullptr},
    {9, QT_TRANSLATE_NOOP("ZelColorWindow", "WAVE"), 4, true, true, false, false, 6,
        true, false, 5, true, 1, kBright, "Wave"},
    {10, QT_TRANSLATE_NOOP("ZelColorWindow", "GO WITHOUT TRACE"), 6, true, true, false, false, 8,
        true, false, 6, true, 0, kBright, "Go without trace"},
    {11, QT_TRANSLATE_NOOP("ZelColorWindow", "REACTIVE"), 5, true, false, false, false, 7,
        true, false, 7, false, 0, kBright, "Reactive"},
    {12, QT_TRANSLATE_NOOP("ZelColorWindow", "yo-yo"), 7, true, true, false, false, 9,
        true, false, 8, true, 0, kBright, "Yo-yo"},
    {13, QT_TRANSLATE_NOOP("ZelColorWindow", "Marbles"), 8, true, true, false, false, 10,
        true, false, 9, true, 0, kBright, "Marbles"},
}};
// clang-format on

} // namespace

const std::array<LightingEffect, EFFECT_COUNT> &lightingEffects()
{
    return kEffects;
}

const LightingEffect *findLightingEffect(int ledMode)
{
    return ledMode >= 0 && ledMode < EFFECT_COUNT ? &kEffects[size_t(ledMode)] : nullptr;
}

quint8 lightingModeCode(int ledMode)
{
    const LightingEffect *e = findLightingEffect(ledMode);
    return e ? e->modeCode : 6;
}

const char *lightingModeName(int code)
{
    for (const LightingEffect &e : kEffects) {
        if (e.modeName && e.modeCode == code)
            return e.modeName;
    }
    return "";
}
