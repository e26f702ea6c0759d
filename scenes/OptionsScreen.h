#pragma once

#include <array>
#include <memory>

#include <nlohmann/json_fwd.hpp>

#include "framework/platform/FwInput.h"

class FwSoundInstance;
class FwSpriteFont;
class FwTexture;

// The title's options screen: every setting with its value over the dimmed title. Up and Down
// (or the wheel) choose a row; Left and Right step its value, Enter and the left button step it on
// and wrap around, the right button steps it back; Esc, or Enter on "Back", leaves and writes the
// settings file. Changes take effect at once.
class OptionsScreen {
public:
    // The fonts and the overlay picture are the title's and outlive the screen.
    OptionsScreen(const FwSpriteFont& smallFont, const FwSpriteFont& largeFont, const FwTexture& blackTexture);
    ~OptionsScreen();
    OptionsScreen(const OptionsScreen&) = delete;
    OptionsScreen& operator=(const OptionsScreen&) = delete;

    // One frame of input; false once the player has left.
    bool Update();
    void Draw() const;
    void DumpState(nlohmann::json& out) const;

private:
    // Keys the screen reads, with how many frames each has been held; -1 for a key that was
    // already held when the screen opened, which counts only once released.
    static constexpr std::array<FwKey, 8> kKeys = {FwKey::Up,     FwKey::Down,      FwKey::Left,       FwKey::Right,
                                                   FwKey::Return, FwKey::MouseLeft, FwKey::MouseRight, FwKey::Escape};

    bool Pressed(FwKey key, bool repeats) const;
    void Change(int steps, bool wrap);
    int RowCount() const;
    bool OnBackRow() const { return selected == RowCount() - 1; }

    const FwSpriteFont& smallFont;
    const FwSpriteFont& largeFont;
    const FwTexture& blackTexture;
    std::array<int, kKeys.size()> heldFrames{};
    int selected = 0;
    std::shared_ptr<FwSoundInstance> changeSound;
};
