#include "tools/content/ContentWriters.h"

#include "tools/content/FontsBaker.h"
#include "tools/content/FontsQfnt.h"

#include <filesystem>
#include <system_error>

namespace {

struct FontFile {
    const char* path;
    FontRecipe recipe;
};

// 8 and 12 point at 96 dots per inch: 11 and 16 pixels. The small one prints the typed program
// text of the title, so it is monospaced.
const FontFile kFonts[] = {
    {"Data/Font/SpriteFont_8.dat", {"DejaVuSansMono.ttf", 11}},
    {"Data/Font/SpriteFont_12.dat", {"DejaVuSans.ttf", 16}},
};

}  // namespace

bool WriteFonts(const std::string& root) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(root) / "Data/Font", error);
    for (const FontFile& file : kFonts) {
        BakedFont font;
        if (!BakeFont(file.recipe, font) || !WriteQfnt(font, root + "/" + file.path))
            return false;
    }
    return true;
}
