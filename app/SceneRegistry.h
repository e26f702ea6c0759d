#pragma once

// Registers with the scene manager every scene that others switch to by name: "title" and "game".
void RegisterScenes();
