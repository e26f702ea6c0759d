#include "framework/platform/FwSettings.h"

FwSettings& FwGetSettings() {
    static FwSettings settings;
    return settings;
}
