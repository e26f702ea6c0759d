#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include <SDL.h>

// What the virtual controller's motors were told, as a test reads it: pulses started, the last
// one's strength (0 to 65535) and how long it ran until SDL stopped it, in milliseconds.
struct FwVirtualRumble {
    int pulses = 0;
    bool on = false;
    uint16_t strength = 0;
    uint32_t startedAt = 0;
    uint32_t milliseconds = 0;
};

// One game controller through SDL's game-controller interface: the first one plugged in is
// opened when SDL reports it and let go when it is pulled out, and the next one present takes
// over. Scripts drive a virtual controller of SDL's own, which reaches the game by the same road.
class FwGamepad {
public:
    FwGamepad() = default;
    FwGamepad(const FwGamepad&) = delete;
    FwGamepad& operator=(const FwGamepad&) = delete;
    FwGamepad& operator=(FwGamepad&& other) noexcept;
    ~FwGamepad();

    // SDL_CONTROLLERDEVICEADDED and SDL_CONTROLLERDEVICEREMOVED. With `virtualOnly` (a script
    // plays) real controllers are left alone.
    void HandleDeviceEvent(const SDL_ControllerDeviceEvent& event, bool virtualOnly);
    // Reads the open controller's state; all released when none is open.
    void Poll();
    void Close();

    bool Connected() const { return controller != nullptr; }
    bool Button(SDL_GameControllerButton button) const { return buttons[static_cast<size_t>(button)]; }
    // -1 to 1 (triggers 0 to 1), 0 inside the dead zone and rescaled beyond it, so a stick
    // resting slightly off centre does nothing.
    float Axis(SDL_GameControllerAxis axis) const { return axes[static_cast<size_t>(axis)]; }
    // As SDL reports it: sticks -32768 to 32767, triggers 0 to 32767.
    int16_t RawAxis(SDL_GameControllerAxis axis) const { return rawAxes[static_cast<size_t>(axis)]; }

    // Both motors at `strength` (0 to 1) for `milliseconds`; nothing without a controller or
    // motors.
    void Rumble(float strength, uint32_t milliseconds);
    const FwVirtualRumble& VirtualRumble() const { return *virtualRumble; }

    // The script's virtual controller: plugging it in, pulling it out, moving its controls. Axis
    // values are the controller's: sticks -32768 to 32767, triggers 0 (rest) to 32767. Attach is
    // false with the reason on standard error when SDL refuses.
    bool AttachVirtual();
    void DetachVirtual();
    void SetVirtualButton(SDL_GameControllerButton button, bool down);
    void SetVirtualAxis(SDL_GameControllerAxis axis, int16_t value);

private:
    void OpenFirst(bool virtualOnly);

    SDL_GameController* controller = nullptr;
    std::array<bool, SDL_CONTROLLER_BUTTON_MAX> buttons{};
    std::array<float, SDL_CONTROLLER_AXIS_MAX> axes{};
    std::array<int16_t, SDL_CONTROLLER_AXIS_MAX> rawAxes{};
    SDL_Joystick* virtualJoystick = nullptr;
    // Written by SDL's callback, so it keeps its place when the gamepad is moved.
    std::unique_ptr<FwVirtualRumble> virtualRumble = std::make_unique<FwVirtualRumble>();
};
