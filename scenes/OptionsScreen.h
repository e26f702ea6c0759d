#pragma once

#include <array>
#include <memory>

#include <SDL_scancode.h>

#include <nlohmann/json_fwd.hpp>

#include "framework/platform/FwInput.h"

class FwSoundInstance;
class FwSpriteFont;
class FwSpriteShader;
class FwTexture;

// The title's options screen: every setting with its value over the dimmed title. Up and Down
// (or the wheel) choose a row; Left and Right step its value, Enter and the left button step it on
// and wrap around, the right button steps it back; Esc, or Enter on "Back", leaves and writes the
// settings file. Changes take effect at once.
// "Controls" opens a page of every key binding: Enter or a click on one waits for a key, and the
// next key pressed is bound to it (a key bound elsewhere swaps places; the right button gives up
// waiting). "Defaults" binds every key as it first was; Esc or "Back" returns to the settings.
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

    enum class Page { Settings, Controls };

    bool Pressed(FwKey key, bool repeats) const;
    void Change(int steps, bool wrap);
    // Enter or a click on the Controls page.
    void Confirm();
    void Bind(SDL_Scancode scancode);
    void ShowPage(Page next);
    // Keys held now count only once released: a key just bound, or the one that turned a page.
    void IgnoreHeldKeys();
    int RowCount() const;
    bool OnBackRow() const { return selected == RowCount() - 1; }
    // The row below the settings that opens the Controls page, and the one below the bindings.
    bool OnControlsRow() const { return page == Page::Settings && selected == RowCount() - 2; }
    bool OnDefaultsRow() const { return page == Page::Controls && selected == RowCount() - 2; }
    void DrawPage(FwSpriteShader& sprite) const;

    const FwSpriteFont& smallFont;
    const FwSpriteFont& largeFont;
    const FwTexture& blackTexture;
    std::array<int, kKeys.size()> heldFrames{};
    int selected = 0;
    Page page = Page::Settings;
    // A binding row was chosen and the next key pressed binds it.
    bool waiting = false;
    std::shared_ptr<FwSoundInstance> changeSound;
};
