#include "scenes/OptionsScreen.h"

#include <algorithm>
#include <string>

#include <nlohmann/json.hpp>

#include "framework/audio/FwSoundCache.h"
#include "framework/audio/FwSoundEffect.h"
#include "framework/audio/FwSoundInstance.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/graphics/FwSpriteFont.h"
#include "framework/graphics/FwTexture.h"
#include "framework/platform/FwScreen.h"
#include "framework/platform/FwSettings.h"

namespace {

// A held arrow steps again after a third of a second, then six times a second.
constexpr int kRepeatDelay = 20;
constexpr int kRepeatInterval = 10;
constexpr float kDimAlpha = 0.8f;
constexpr float kFirstRowY = 170.0f;
constexpr float kRowSpacing = 42.0f;
// The Controls page's rows, in the small font.
constexpr float kFirstBindingY = 215.0f;
constexpr float kBindingSpacing = 26.0f;
constexpr float kHintY = -285.0f;
constexpr float kLabelX = -330.0f;
constexpr float kValueCentreX = 200.0f;
const Color kSelectedColour(0.0f, 1.0f, 0.5f, 1.0f);
const Color kRowColour(1.0f, 1.0f, 1.0f, 1.0f);
const Color kHintColour(0.7f, 0.7f, 0.7f, 1.0f);

// Our texts are ASCII, one glyph a byte.
float TextWidth(const FwSpriteFont& font, const std::string& text) {
    float width = 0.0f;
    for (const char c : text) {
        const FwGlyph* glyph = font.FindGlyph(static_cast<unsigned char>(c));
        width += glyph != nullptr ? glyph->advance : 0.0f;
    }
    return width;
}

}  // namespace

OptionsScreen::OptionsScreen(const FwSpriteFont& smallFont, const FwSpriteFont& largeFont,
                             const FwTexture& blackTexture)
    : smallFont(smallFont), largeFont(largeFont), blackTexture(blackTexture) {
    FwInput::GetInstance().CaptureEscape(true);
    IgnoreHeldKeys();
    const std::shared_ptr<FwSoundEffect> click = FwSoundCache::GetInstance().GetSound("data/sound/click.wav");
    changeSound = click->CreateInstance(false);
}

OptionsScreen::~OptionsScreen() { FwInput::GetInstance().CaptureEscape(false); }

bool OptionsScreen::Update() {
    const FwInput& input = FwInput::GetInstance();
    if (waiting) {
        // Any key binds, Esc and Enter too; only the right button gives up.
        if (input.PressedScancode() != SDL_SCANCODE_UNKNOWN) {
            Bind(static_cast<SDL_Scancode>(input.PressedScancode()));
        } else if (input.WasKeyPressed(FwKey::MouseRight)) {
            waiting = false;
            IgnoreHeldKeys();
        }
        return true;
    }
    for (size_t i = 0; i < kKeys.size(); ++i) {
        if (!input.IsKeyDown(kKeys[i])) {
            heldFrames[i] = 0;
        } else if (heldFrames[i] >= 0) {
            ++heldFrames[i];
        }
    }
    const int rows = RowCount();
    const int wheel = input.WheelNotches();
    if (Pressed(FwKey::Up, true) || wheel > 0) {
        selected = (selected + rows - 1) % rows;
    }
    if (Pressed(FwKey::Down, true) || wheel < 0) {
        selected = (selected + 1) % rows;
    }
    const bool confirm = Pressed(FwKey::Return, false) || Pressed(FwKey::MouseLeft, false);
    const bool back = Pressed(FwKey::Escape, false) || (confirm && OnBackRow());
    if (page == Page::Controls) {
        if (back) {
            ShowPage(Page::Settings);
        } else if (confirm) {
            Confirm();
        }
        return true;
    }
    if (Pressed(FwKey::Left, true)) {
        Change(-1, false);
    }
    if (Pressed(FwKey::Right, true)) {
        Change(1, false);
    }
    if (confirm && OnControlsRow()) {
        ShowPage(Page::Controls);
        return true;
    }
    if (confirm && !OnBackRow()) {
        Change(1, true);
    }
    if (Pressed(FwKey::MouseRight, false)) {
        Change(-1, true);
    }
    if (back) {
        // Runs without a settings file keep what was changed for the rest of the run only.
        if (!FwSettingsPath().empty()) {
            FwSaveSettings(FwSettingsPath(), FwGetSettings());
        }
        return false;
    }
    return true;
}

void OptionsScreen::Confirm() {
    if (OnDefaultsRow()) {
        FwGetSettings().keyBindings = FwSettings().keyBindings;
        if (changeSound) {
            changeSound->Play(false, false);
        }
        return;
    }
    waiting = true;
}

void OptionsScreen::Bind(SDL_Scancode scancode) {
    auto& bindings = FwGetSettings().keyBindings;
    const auto other = std::find(bindings.begin(), bindings.end(), scancode);
    if (other != bindings.end()) {
        *other = bindings[static_cast<size_t>(selected)];
    }
    bindings[static_cast<size_t>(selected)] = scancode;
    waiting = false;
    IgnoreHeldKeys();
    if (changeSound) {
        changeSound->Play(false, false);
    }
}

void OptionsScreen::ShowPage(Page next) {
    // Back on the settings page, the Controls row stays chosen.
    selected = next == Page::Controls ? 0 : static_cast<int>(FwSettingInfos().size());
    page = next;
    IgnoreHeldKeys();
}

void OptionsScreen::IgnoreHeldKeys() {
    const FwInput& input = FwInput::GetInstance();
    for (size_t i = 0; i < kKeys.size(); ++i) {
        heldFrames[i] = input.IsKeyDown(kKeys[i]) ? -1 : 0;
    }
}

bool OptionsScreen::Pressed(FwKey key, bool repeats) const {
    const size_t index = std::find(kKeys.begin(), kKeys.end(), key) - kKeys.begin();
    const int held = heldFrames[index];
    return held == 1 || (repeats && held >= kRepeatDelay && (held - kRepeatDelay) % kRepeatInterval == 0);
}

// Numbers stop at their bounds, or wrap around to the other end; switches flip either way.
void OptionsScreen::Change(int steps, bool wrap) {
    if (OnBackRow() || OnControlsRow()) {
        return;
    }
    const FwSettingInfo& info = FwSettingInfos()[selected];
    FwSettings& settings = FwGetSettings();
    const FwSettings before = settings;
    if (info.flag != nullptr) {
        settings.*info.flag = !(settings.*info.flag);
    } else {
        float& value = settings.*info.number;
        const float stepped = info.Stepped(value, steps);
        const bool stuck = stepped == info.Stepped(value, 0);
        value = (wrap && stuck) ? (steps > 0 ? info.Lowest() : info.maximum) : stepped;
    }
    // Heard after the change, so a volume step is heard at its new level.
    if (changeSound && settings != before) {
        changeSound->Play(false, false);
    }
}

// Each page ends in two rows of its own: Controls or Defaults, then Back.
int OptionsScreen::RowCount() const {
    return static_cast<int>(page == Page::Settings ? FwSettingInfos().size() : FwKeyBindingInfos().size()) + 2;
}

void OptionsScreen::Draw() const {
    FwSpriteShader& sprite = FwShaderManager::GetInstance().spriteShader;
    sprite.cbSprite.Work().g_mTransform = Matrix::Identity;
    sprite.DrawTex(&blackTexture, 0, 0, kScreenWidth, kScreenHeight, FwRect{0, 0, kScreenWidth, kScreenHeight},
                   Color(1.0f, 1.0f, 1.0f, kDimAlpha));

    sprite.Begin(false, true);
    const std::string heading = page == Page::Settings ? "OPTIONS" : "CONTROLS";
    sprite.DrawText(&largeFont, -TextWidth(largeFont, heading) / 2.0f, 260.0f, heading, kRowColour);
    DrawPage(sprite);
    // Keys are named as the player's keyboard layout names them.
    const auto key = [](FwKey k) { return FwBoundKeyName(k); };
    const std::string hint =
        waiting ? "Press the key to bind    right button: keep the old key"
                : key(FwKey::Up) + "/" + key(FwKey::Down) + " or wheel: choose    " +
                      (page == Page::Settings ? key(FwKey::Left) + "/" + key(FwKey::Right) + ", " : std::string()) +
                      key(FwKey::Return) + " or click: " + (page == Page::Settings ? "change" : "bind") + "    " +
                      key(FwKey::Escape) + ": back";
    sprite.DrawText(&smallFont, -TextWidth(smallFont, hint) / 2.0f, kHintY, hint, kHintColour);
    if (FwSettingsPath().empty()) {
        const std::string note = "(no settings file: changes last for this run only)";
        sprite.DrawText(&smallFont, -TextWidth(smallFont, note) / 2.0f, kHintY - 30.0f, note, kHintColour);
    }
    sprite.End();
}

// Each row's label with its value centred beside it; the page's last two rows are names only.
void OptionsScreen::DrawPage(FwSpriteShader& sprite) const {
    const bool settingsPage = page == Page::Settings;
    const FwSpriteFont& font = settingsPage ? largeFont : smallFont;
    const FwSettings& settings = FwGetSettings();
    for (int row = 0; row < RowCount(); ++row) {
        const float y = settingsPage ? kFirstRowY - kRowSpacing * static_cast<float>(row)
                                     : kFirstBindingY - kBindingSpacing * static_cast<float>(row);
        const bool current = row == selected;
        const Color& colour = current ? kSelectedColour : kRowColour;
        const std::string marker = current ? "> " : "  ";
        if (row >= RowCount() - 2) {
            const char* name = row == RowCount() - 1 ? "Back" : settingsPage ? "Controls" : "Defaults";
            sprite.DrawText(&font, kLabelX, y, marker + name, colour);
            continue;
        }
        std::string value;
        if (settingsPage) {
            const FwSettingInfo& info = FwSettingInfos()[row];
            sprite.DrawText(&font, kLabelX, y, marker + info.label, colour);
            value = current ? "<  " + info.ScreenText(settings) + "  >" : info.ScreenText(settings);
        } else {
            sprite.DrawText(&font, kLabelX, y, marker + FwKeyBindingInfos()[row].label, colour);
            value = current && waiting ? "< press a key >" : FwKeyLayoutName(settings.keyBindings[row]);
        }
        sprite.DrawText(&font, kValueCentreX - TextWidth(font, value) / 2.0f, y, value, colour);
    }
}

void OptionsScreen::DumpState(nlohmann::json& out) const {
    out["page"] = page == Page::Settings ? "settings" : "controls";
    out["selected"] = selected;
    out["waiting"] = waiting;
    if (OnBackRow()) {
        out["row"] = "Back";
    } else if (selected == RowCount() - 2) {
        out["row"] = page == Page::Settings ? "Controls" : "Defaults";
    } else {
        out["row"] = page == Page::Settings ? FwSettingInfos()[selected].key : FwKeyBindingInfos()[selected].settingKey;
    }
}
