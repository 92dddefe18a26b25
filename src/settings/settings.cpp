// The settings file kelvasto.ini.
#include "settings/settings.h"

bool ensure_settings_file() { return true; }
void load_settings() {}
