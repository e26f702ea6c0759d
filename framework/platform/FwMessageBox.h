#pragma once

#include <string>

struct SDL_Window;

// A modal error box with one OK button; the text also goes to standard error. Automated runs turn
// the boxes off, since nobody is there to close them.
void FwMessageBox(const std::string& text, const std::string& caption, SDL_Window* owner);
void FwEnableMessageBoxes(bool enabled);
