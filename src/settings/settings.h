// The settings file kelvasto.ini and the settings state the program reads.
#pragma once

// Creates kelvasto.ini with every key at its default when it does not exist.
bool ensure_settings_file();
// Reads kelvasto.ini into the settings state; cannot fail.
void load_settings();
