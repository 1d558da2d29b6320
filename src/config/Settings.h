#pragma once
// The configuration file: an INI file in the GBK code page, read and written
// at the moment a value is needed, never cached.
#include "text/Text.h"

#include <string>

namespace morvane {

// The directory of the program file (UTF-8 path, no trailing separator).
std::string runDirectory();
void setRunDirectory(const std::string &path);

// <runDirectory>/data/配置.ini, or, when the program's own directory cannot
// hold data/ or lies in the system's directories (/usr, /bin, /sbin),
// $XDG_CONFIG_HOME/morvane/配置.ini (else ~/.config/morvane/).
std::string configPath();
// True for /usr, /bin, /sbin and every directory below them.
bool isSystemDirectory(const std::string &directory);

Text readSetting(const Text &section, const Text &key);
// Creates the data directory and the file as needed and replaces the file
// atomically; false when the value could not be stored, or could not be
// read back (a line break in a name or the value, a key holding "=").
bool writeSetting(const Text &section, const Text &key, const Text &value);

} // namespace morvane
