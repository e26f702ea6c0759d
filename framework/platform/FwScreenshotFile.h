#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// Where the screenshot key saves: $XDG_PICTURES_DIR/quarnel, else the pictures folder that
// user-dirs.dirs (under $XDG_CONFIG_HOME or ~/.config) names, else ~/Pictures/quarnel.
std::string FwScreenshotDir();

// Writes `png` to a new file "quarnel-YYYYMMDD-HHMMSS.png" (local time `when`) in `dir`, making the
// folder if needed; when that name is taken, "-2", "-3", ... is added, so no file is ever
// replaced. Returns the path, or an empty string with the reason on standard error.
std::string FwWriteScreenshotFile(const std::string& dir, const std::vector<uint8_t>& png, std::time_t when);
