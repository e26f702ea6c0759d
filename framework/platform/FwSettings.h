#pragma once

// What the player sets: read from the settings file, then overridden by command-line flags.
// Input, sound, the window and the player's mouse look read it; the options screen changes it.
struct FwSettings {
    float mouseSensitivity = 1.0f;
    bool invertY = false;
    float gamepadSensitivity = 1.0f;
    float masterVolume = 1.0f;
    bool fullscreen = false;
    bool pauseOnFocusLoss = false;
};

// The settings of this run; defaults until the application fills them in.
FwSettings& FwGetSettings();
