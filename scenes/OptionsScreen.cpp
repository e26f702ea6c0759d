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
constexpr float kRowSpacing = 48.0f;
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
    FwInput& input = FwInput::GetInstance();
    input.CaptureEscape(true);
    for (size_t i = 0; i < kKeys.size(); ++i) {
        heldFrames[i] = input.IsKeyDown(kKeys[i]) ? -1 : 0;
    }
    const std::shared_ptr<FwSoundEffect> click = FwSoundCache::GetInstance().GetSound("data/sound/click.wav");
    changeSound = click->CreateInstance(false);
}

OptionsScreen::~OptionsScreen() { FwInput::GetInstance().CaptureEscape(false); }

bool OptionsScreen::Update() {
    const FwInput& input = FwInput::GetInstance();
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
    if (Pressed(FwKey::Left, true)) {
        Change(-1, false);
    }
    if (Pressed(FwKey::Right, true)) {
        Change(1, false);
    }
    const bool confirm = Pressed(FwKey::Return, false) || Pressed(FwKey::MouseLeft, false);
    if (confirm && !OnBackRow()) {
        Change(1, true);
    }
    if (Pressed(FwKey::MouseRight, false)) {
        Change(-1, true);
    }
    if (Pressed(FwKey::Escape, false) || (confirm && OnBackRow())) {
        // Runs without a settings file keep what was changed for the rest of the run only.
        if (!FwSettingsPath().empty()) {
            FwSaveSettings(FwSettingsPath(), FwGetSettings());
        }
        return false;
    }
    return true;
}

bool OptionsScreen::Pressed(FwKey key, bool repeats) const {
    const size_t index = std::find(kKeys.begin(), kKeys.end(), key) - kKeys.begin();
    const int held = heldFrames[index];
    return held == 1 || (repeats && held >= kRepeatDelay && (held - kRepeatDelay) % kRepeatInterval == 0);
}

// Numbers stop at their bounds, or wrap around to the other end; switches flip either way.
void OptionsScreen::Change(int steps, bool wrap) {
    if (OnBackRow()) {
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
        value = (wrap && stuck) ? (steps > 0 ? info.minimum : info.maximum) : stepped;
    }
    // Heard after the change, so a volume step is heard at its new level.
    if (changeSound && settings != before) {
        changeSound->Play(false, false);
    }
}

int OptionsScreen::RowCount() const { return static_cast<int>(FwSettingInfos().size()) + 1; }

void OptionsScreen::Draw() const {
    FwSpriteShader& sprite = FwShaderManager::GetInstance().spriteShader;
    sprite.cbSprite.Work().g_mTransform = Matrix::Identity;
    sprite.DrawTex(&blackTexture, 0, 0, kScreenWidth, kScreenHeight, FwRect{0, 0, kScreenWidth, kScreenHeight},
                   Color(1.0f, 1.0f, 1.0f, kDimAlpha));

    sprite.Begin(false, true);
    sprite.DrawText(&largeFont, -TextWidth(largeFont, "OPTIONS") / 2.0f, 260.0f, "OPTIONS", kRowColour);
    const FwSettings& settings = FwGetSettings();
    for (int row = 0; row < RowCount(); ++row) {
        const float y = kFirstRowY - kRowSpacing * static_cast<float>(row);
        const bool current = row == selected;
        const Color& colour = current ? kSelectedColour : kRowColour;
        if (row == RowCount() - 1) {
            sprite.DrawText(&largeFont, kLabelX, y, current ? "> Back" : "  Back", colour);
            continue;
        }
        const FwSettingInfo& info = FwSettingInfos()[row];
        sprite.DrawText(&largeFont, kLabelX, y, std::string(current ? "> " : "  ") + info.label, colour);
        const std::string value = current ? "<  " + info.ScreenText(settings) + "  >" : info.ScreenText(settings);
        sprite.DrawText(&largeFont, kValueCentreX - TextWidth(largeFont, value) / 2.0f, y, value, colour);
    }
    const std::string hint = "Up/Down or wheel: choose    Left/Right, Enter or click: change    Esc: back";
    sprite.DrawText(&smallFont, -TextWidth(smallFont, hint) / 2.0f, -250.0f, hint, kHintColour);
    if (FwSettingsPath().empty()) {
        const std::string note = "(no settings file: changes last for this run only)";
        sprite.DrawText(&smallFont, -TextWidth(smallFont, note) / 2.0f, -280.0f, note, kHintColour);
    }
    sprite.End();
}

void OptionsScreen::DumpState(nlohmann::json& out) const {
    out["selected"] = selected;
    out["row"] = OnBackRow() ? "Back" : FwSettingInfos()[selected].key;
}
