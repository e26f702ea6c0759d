#pragma once

#include "scenes/C_Scene.h"

// The title screen.
class TitleScene : public C_Scene {
public:
    const char* Name() const override { return "title"; }
};
