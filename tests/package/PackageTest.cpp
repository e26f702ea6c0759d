// The game as a player gets it: installed into a prefix, and as a Debian package. Both copies
// must find their content from where they stand and play without a build folder.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>

#include "tests/support/GameRun.h"

namespace {

namespace fs = std::filesystem;

const int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// Standard output and the exit code of a shell command.
struct CommandResult {
    int exitCode = -1;
    std::string output;
};

CommandResult Shell(const std::string& command) {
    CommandResult result;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    if (!pipe) {
        return result;
    }
    char buffer[4096];
    for (size_t count; (count = fread(buffer, 1, sizeof(buffer), pipe.get())) > 0;) {
        result.output.append(buffer, count);
    }
    const int status = pclose(pipe.release());
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// Every file a player's desktop needs, below an installation prefix.
void ExpectInstalledFiles(const fs::path& prefix) {
    const fs::path game = prefix / "bin/quarnel";
    ASSERT_TRUE(fs::exists(game));
    EXPECT_NE(fs::status(game).permissions() & fs::perms::owner_exec, fs::perms::none);
    for (const char* file : {"share/quarnel/Data/Font/SpriteFont_8.dat", "share/quarnel/Data/Font/SpriteFont_12.dat",
                             "share/quarnel/TxtData/data.txt", "share/man/man6/quarnel.6.gz"}) {
        EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;
    }
    for (const int size : kIconSizes) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const Image icon = ReadPng((prefix / "share/icons/hicolor" / name / "apps/quarnel.png").string());
        EXPECT_EQ(icon.width, size) << name;
        EXPECT_EQ(icon.height, size) << name;
        if (!icon.Empty()) {
            // A tile with transparent corners and an opaque middle.
            EXPECT_EQ(icon.At(0, 0)[3], 0) << name;
            EXPECT_EQ(icon.At(size / 2, size / 2)[3], 255) << name;
        }
    }
    const std::string entry = ReadTextFile((prefix / "share/applications/quarnel.desktop").string());
    for (const char* line : {"[Desktop Entry]\n", "Type=Application\n", "Name=Quarnel\n", "Exec=quarnel\n",
                             "Icon=quarnel\n", "Categories=Game;"}) {
        EXPECT_NE(entry.find(line), std::string::npos) << line;
    }
    const CommandResult page = Shell("gzip -dc " + (prefix / "share/man/man6/quarnel.6.gz").string());
    EXPECT_EQ(page.exitCode, 0);
    for (const char* part : {".TH QUARNEL 6", ".SH KEYS", "settings.ini", "\\-\\-mouse\\-sensitivity"}) {
        EXPECT_NE(page.output.find(part), std::string::npos) << part;
    }
}

// The copy at `game`, started from another folder without --content: the title types out and a
// press of Enter loads the level, which only works if every content file is found.
void ExpectPlays(const std::string& game, const std::vector<std::string>& environment = {}) {
    TempDir dir;
    WriteTextFile(dir.File("input.txt"), "310 key Return down\n312 key Return up\n");
    const GameRunResult run = RunProgram(
        game,
        StateOnly({"--unlimited", "--seed", "3", "--frames", "430", "--input", dir.File("input.txt"), "--dump-state",
                   "300:" + dir.File("title.json"), "--dump-state", "430:" + dir.File("game.json")}),
        environment);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    for (const char* complaint : {"cannot load", "cannot open", "Cannot load", "Failed"}) {
        EXPECT_EQ(run.output.find(complaint), std::string::npos) << run.output;
    }
    const nlohmann::json title = ReadJsonFile(dir.File("title.json"));
    EXPECT_EQ(title["title"]["typedCount"], 386);
    const nlohmann::json state = ReadJsonFile(dir.File("game.json"));
    ASSERT_EQ(state["scene"], "game") << state.dump();
    EXPECT_FALSE(state["enemies"].empty());
}

TEST(Install, PrefixHoldsTheGameThatPlaysFromThere) {
    TempDir prefix;
    const CommandResult install =
        Shell("cmake --install " + std::string(QUARNEL_BUILD_DIR) + " --prefix " + prefix.Path());
    ASSERT_EQ(install.exitCode, 0) << install.output;
    ExpectInstalledFiles(prefix.Path());
    // Moving the whole installation keeps it working: the content is found relative to the game.
    const std::string moved = prefix.File("moved");
    fs::create_directories(moved);
    for (const char* folder : {"bin", "share"}) {
        fs::rename(prefix.File(folder), moved + "/" + folder);
    }
    ExpectPlays(moved + "/bin/quarnel");
}

TEST(Package, DebDeclaresTheLinkedLibrariesAndStartsFromItsMenuEntry) {
    TempDir dir;
    const CommandResult pack = Shell("cd " + dir.Path() + " && cpack --config " + std::string(QUARNEL_BUILD_DIR) +
                                     "/CPackConfig.cmake -B " + dir.Path());
    ASSERT_EQ(pack.exitCode, 0) << pack.output;
    std::string deb;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        if (entry.path().extension() == ".deb") {
            deb = entry.path().string();
        }
    }
    ASSERT_FALSE(deb.empty()) << pack.output;

    const CommandResult fields = Shell("dpkg-deb -f " + deb + " Package Section Depends");
    ASSERT_EQ(fields.exitCode, 0) << fields.output;
    EXPECT_NE(fields.output.find("Package: quarnel"), std::string::npos) << fields.output;
    EXPECT_NE(fields.output.find("Section: games"), std::string::npos) << fields.output;
    // Read from the binary by dpkg-shlibdeps, with versions, not written by hand.
    for (const char* library :
         {"libsdl2-2.0-0 (>=", "libopenal1 (>=", "libepoxy0 (>=", "libc6 (>=", "libstdc++6 (>="}) {
        EXPECT_NE(fields.output.find(library), std::string::npos) << library << " in " << fields.output;
    }

    // Every package named is one that this machine has, so dpkg -i finds the dependencies met.
    const std::string depends = fields.output.substr(fields.output.find("Depends:") + 8);
    const std::regex name(R"((?:^|[,|])\s*([a-z0-9][a-z0-9+.-]+))");
    for (std::sregex_iterator it(depends.begin(), depends.end(), name), end; it != end; ++it) {
        const std::string package = (*it)[1].str();
        EXPECT_EQ(Shell("dpkg-query -W -f='${Status}' " + package).output, "install ok installed") << package;
    }

    const std::string root = dir.File("root");
    ASSERT_EQ(Shell("dpkg-deb -x " + deb + " " + root).exitCode, 0);
    ExpectInstalledFiles(root + "/usr");

    // Installed the way dpkg does, into an empty system tree of its own; then the command of the
    // menu entry starts the game.
    const std::string system = dir.File("system");
    fs::create_directories(system + "/var/lib/dpkg/info");
    fs::create_directories(system + "/var/lib/dpkg/updates");
    WriteTextFile(system + "/var/lib/dpkg/status", "");
    const CommandResult dpkg =
        Shell("dpkg --root=" + system + " --force-not-root --force-depends --force-script-chrootless -i " + deb);
    ASSERT_EQ(dpkg.exitCode, 0) << dpkg.output;
    EXPECT_EQ(Shell("dpkg --root=" + system + " -s quarnel").exitCode, 0);
    const std::string entry = ReadTextFile(system + "/usr/share/applications/quarnel.desktop");
    std::smatch exec;
    ASSERT_TRUE(std::regex_search(entry, exec, std::regex("\nExec=([^ \n]+)")));
    ExpectPlays(exec[1].str(), {"PATH=" + system + "/usr/bin:/usr/bin:/bin"});
}

}  // namespace
