#include "framework/platform/FwGamepad.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

// Share of a stick's travel that counts as resting; triggers have a smaller one.
constexpr float kStickDeadZone = 0.25f;
constexpr float kTriggerDeadZone = 0.1f;

bool IsTrigger(int axis) { return axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT; }

int RecordRumble(void* userdata, Uint16 low, Uint16 high) {
    FwVirtualRumble& rumble = *static_cast<FwVirtualRumble*>(userdata);
    const uint16_t strength = std::max(low, high);
    if (strength != 0 && !rumble.on) {
        ++rumble.pulses;
        rumble.startedAt = SDL_GetTicks();
    }
    if (strength == 0 && rumble.on) {
        rumble.milliseconds = SDL_GetTicks() - rumble.startedAt;
    }
    rumble.on = strength != 0;
    if (strength != 0) {
        rumble.strength = strength;
    }
    return 0;
}

float Shape(int16_t raw, float deadZone) {
    const float value = std::max(static_cast<float>(raw) / 32767.0f, -1.0f);
    const float beyond = (std::abs(value) - deadZone) / (1.0f - deadZone);
    return beyond <= 0.0f ? 0.0f : std::copysign(std::min(beyond, 1.0f), value);
}

}  // namespace

FwGamepad& FwGamepad::operator=(FwGamepad&& other) noexcept {
    if (this != &other) {
        Close();
        DetachVirtual();
        controller = std::exchange(other.controller, nullptr);
        buttons = other.buttons;
        axes = other.axes;
        rawAxes = other.rawAxes;
        virtualJoystick = std::exchange(other.virtualJoystick, nullptr);
        std::swap(virtualRumble, other.virtualRumble);
    }
    return *this;
}

FwGamepad::~FwGamepad() {
    // At process exit SDL may already have shut down; its handles are gone with it.
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) != 0) {
        Close();
        DetachVirtual();
    }
}

void FwGamepad::HandleDeviceEvent(const SDL_ControllerDeviceEvent& event, bool virtualOnly) {
    if (event.type == SDL_CONTROLLERDEVICEADDED && controller == nullptr) {
        OpenFirst(virtualOnly);
    } else if (event.type == SDL_CONTROLLERDEVICEREMOVED && controller != nullptr &&
               SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller)) == event.which) {
        Close();
        OpenFirst(virtualOnly);
    }
}

void FwGamepad::OpenFirst(bool virtualOnly) {
    for (int index = 0; index < SDL_NumJoysticks() && controller == nullptr; ++index) {
        if (SDL_IsGameController(index) && (!virtualOnly || SDL_JoystickIsVirtual(index))) {
            controller = SDL_GameControllerOpen(index);
        }
    }
}

void FwGamepad::Poll() {
    if (controller != nullptr && SDL_GameControllerGetAttached(controller) == SDL_FALSE) {
        Close();
    }
    for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button) {
        buttons[static_cast<size_t>(button)] =
            controller != nullptr &&
            SDL_GameControllerGetButton(controller, static_cast<SDL_GameControllerButton>(button)) != 0;
    }
    for (int axis = 0; axis < SDL_CONTROLLER_AXIS_MAX; ++axis) {
        const int16_t raw = controller != nullptr
                                ? SDL_GameControllerGetAxis(controller, static_cast<SDL_GameControllerAxis>(axis))
                                : 0;
        rawAxes[static_cast<size_t>(axis)] = raw;
        axes[static_cast<size_t>(axis)] = Shape(raw, IsTrigger(axis) ? kTriggerDeadZone : kStickDeadZone);
    }
}

void FwGamepad::Close() {
    if (controller != nullptr) {
        SDL_GameControllerClose(controller);
        controller = nullptr;
    }
    buttons.fill(false);
    axes.fill(0.0f);
    rawAxes.fill(0);
}

bool FwGamepad::AttachVirtual() {
    if (virtualJoystick != nullptr) {
        return true;
    }
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0) {
        std::fprintf(stderr, "virtual controller: the game-controller subsystem is not running\n");
        return false;
    }
    // SDL maps a virtual controller with every axis and button in its own order.
    SDL_VirtualJoystickDesc description{};
    description.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    description.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    description.naxes = SDL_CONTROLLER_AXIS_MAX;
    description.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    description.userdata = virtualRumble.get();
    description.Rumble = RecordRumble;
    *virtualRumble = FwVirtualRumble();
    const int index = SDL_JoystickAttachVirtualEx(&description);
    virtualJoystick = index < 0 ? nullptr : SDL_JoystickOpen(index);
    if (virtualJoystick == nullptr) {
        std::fprintf(stderr, "virtual controller: %s\n", SDL_GetError());
        return false;
    }
    SetVirtualAxis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 0);
    SetVirtualAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0);
    return true;
}

void FwGamepad::Rumble(float strength, uint32_t milliseconds) {
    if (controller != nullptr) {
        const auto level = static_cast<Uint16>(std::clamp(strength, 0.0f, 1.0f) * 65535.0f);
        SDL_GameControllerRumble(controller, level, level, milliseconds);
    }
}

void FwGamepad::DetachVirtual() {
    if (virtualJoystick == nullptr) {
        return;
    }
    const SDL_JoystickID id = SDL_JoystickInstanceID(virtualJoystick);
    SDL_JoystickClose(virtualJoystick);
    virtualJoystick = nullptr;
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) == id) {
            SDL_JoystickDetachVirtual(index);
            return;
        }
    }
}

void FwGamepad::SetVirtualButton(SDL_GameControllerButton button, bool down) {
    if (virtualJoystick != nullptr) {
        SDL_JoystickSetVirtualButton(virtualJoystick, button, down ? 1 : 0);
    }
}

void FwGamepad::SetVirtualAxis(SDL_GameControllerAxis axis, int16_t value) {
    if (virtualJoystick == nullptr) {
        return;
    }
    // SDL reads a trigger's whole joystick range as 0 to 32767, so rest is -32768 there.
    const int raw = IsTrigger(axis) ? std::max(0, static_cast<int>(value)) * 2 - 32768 : value;
    SDL_JoystickSetVirtualAxis(virtualJoystick, axis, static_cast<int16_t>(std::min(raw, 32767)));
}
