#pragma once
// Where the program keeps its settings: one key, in both hives.
constexpr const char* SETTINGS_KEY = "Software\\Velderane\\Slumberhold";

// Hive arguments of the settings variables: 1 is HKEY_LOCAL_MACHINE, any
// other value HKEY_CURRENT_USER.
constexpr int HIVE_LOCAL_MACHINE = 1;
constexpr int HIVE_CURRENT_USER = 0;
