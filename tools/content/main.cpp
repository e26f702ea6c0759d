// quarnel_content: writes the game's whole content tree (models, level files, pictures, sounds,
// fonts) below the folder given on the command line, and the desktop icon beside it. Every run writes the same bytes.

#include "tools/content/ContentWriters.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: quarnel_content OUTPUT_FOLDER\n";
        return 2;
    }
    const std::string root = argv[1];
    bool ok = WriteModels(root);
    ok = WriteLevel(root) && ok;
    ok = WritePictures(root) && ok;
    ok = WriteSounds(root) && ok;
    ok = WriteFonts(root) && ok;
    ok = WriteIcons(root) && ok;
    return ok ? 0 : 1;
}
