#include "engine/settings_source.h"

#include "settings/settings.h"

void LoadEngineSettings() {
    LoadSettings();
}
