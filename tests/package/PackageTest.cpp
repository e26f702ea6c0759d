// The game as a player gets it: installed into a prefix, and as a Debian package. Both copies
// must find their content from where they stand and play without a build folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>

#include "tests/support/GameRun.h"

namespace {

namespace fs = std::filesystem;

const int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
// The id the menu entry and the software-centre listing share.
const std::string kAppId = "org.quarnel.quarnel";

bool Installed(const char* program) { return RunShell(std::string("command -v ") + program).exitCode == 0; }

// Every file a player's desktop and a software centre need, below an installation prefix; the game
// itself in `games` (bin for a prefix, games for the Debian package).
void ExpectInstalledFiles(const fs::path& prefix, const std::string& games) {
    const fs::path game = prefix / games / "quarnel";
    ASSERT_TRUE(fs::exists(game));
    EXPECT_NE(fs::status(game).permissions() & fs::perms::owner_exec, fs::perms::none);
    for (const char* file : {"share/quarnel/Data/Font/SpriteFont_8.dat", "share/quarnel/Data/Font/SpriteFont_12.dat",
                             "share/quarnel/TxtData/data.txt", "share/man/man6/quarnel.6.gz",
                             "share/doc/quarnel/copyright", "share/doc/quarnel/changelog.gz"}) {
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
    const std::string entry = ReadTextFile((prefix / "share/applications" / (kAppId + ".desktop")).string());
    for (const char* line : {"[Desktop Entry]\n", "Type=Application\n", "Name=Quarnel\n", "Exec=quarnel\n",
                             "Icon=quarnel\n", "Categories=Game;"}) {
        EXPECT_NE(entry.find(line), std::string::npos) << line;
    }
    const GameRunResult page = RunShell("gzip -dc " + (prefix / "share/man/man6/quarnel.6.gz").string());
    EXPECT_EQ(page.exitCode, 0);
    for (const char* part : {".TH QUARNEL 6", ".SH KEYS", "settings.ini", "\\-\\-mouse\\-sensitivity"}) {
        EXPECT_NE(page.output.find(part), std::string::npos) << part;
    }
    // The copyright file carries LICENSE word for word, in Debian's machine-readable form.
    const std::string copyright = ReadTextFile((prefix / "share/doc/quarnel/copyright").string());
    EXPECT_EQ(copyright.rfind("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n", 0), 0u);
    EXPECT_NE(copyright.find("\nFiles: *\nCopyright: 2026 The Quarnel developers\nLicense: Expat\n"), std::string::npos);
    std::istringstream license(ReadTextFile(std::string(QUARNEL_SOURCE_DIR) + "/LICENSE"));
    int lines = 0;
    for (std::string line; std::getline(license, line);) {
        if (line.starts_with("Permission") || (lines > 0 && !line.empty())) {
            EXPECT_NE(copyright.find("\n " + line + "\n"), std::string::npos) << line;
            ++lines;
        }
    }
    EXPECT_EQ(lines, 15);
    EXPECT_EQ(RunShell("gzip -dc " + (prefix / "share/doc/quarnel/changelog.gz").string() + " | head -1").output,
              "quarnel (1.0.0) unstable; urgency=medium\n");
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
    const GameRunResult install =
        RunShell("cmake --install " + std::string(QUARNEL_BUILD_DIR) + " --prefix " + prefix.Path());
    ASSERT_EQ(install.exitCode, 0) << install.output;
    ExpectInstalledFiles(prefix.Path(), "bin");
    // Moving the whole installation keeps it working: the content is found relative to the game.
    const std::string moved = prefix.File("moved");
    fs::create_directories(moved);
    for (const char* folder : {"bin", "share"}) {
        fs::rename(prefix.File(folder), moved + "/" + folder);
    }
    ExpectPlays(moved + "/bin/quarnel");
}

// What a software centre reads: the listing validates without a warning, names the menu entry by
// the id they share, and shows the README's screenshots (its web address mirrors the repository).
TEST(Install, SoftwareCentreListingAndMenuEntryValidateAndAgree) {
    TempDir prefix;
    ASSERT_EQ(RunShell("cmake --install " + std::string(QUARNEL_BUILD_DIR) + " --prefix " + prefix.Path()).exitCode, 0);
    const std::string metainfo = prefix.File("share/metainfo/" + kAppId + ".metainfo.xml");
    const std::string entry = prefix.File("share/applications/" + kAppId + ".desktop");
    ASSERT_TRUE(fs::is_regular_file(metainfo));
    ASSERT_TRUE(fs::is_regular_file(entry));
    if (Installed("appstreamcli")) {
        const GameRunResult validate = RunShell("appstreamcli validate --no-net --pedantic " + metainfo);
        EXPECT_EQ(validate.exitCode, 0) << validate.output;
        EXPECT_EQ(validate.output, "\u2714 Validation was successful.\n");
    }
    if (Installed("desktop-file-validate")) {
        const GameRunResult validate = RunShell("desktop-file-validate " + entry);
        EXPECT_EQ(validate.exitCode, 0);
        EXPECT_EQ(validate.output, "");
    }
    const std::string listing = ReadTextFile(metainfo);
    EXPECT_NE(listing.find("<id>" + kAppId + "</id>"), std::string::npos);
    EXPECT_NE(listing.find("<launchable type=\"desktop-id\">" + kAppId + ".desktop</launchable>"), std::string::npos);
    EXPECT_NE(listing.find("<project_license>MIT</project_license>"), std::string::npos);
    EXPECT_NE(listing.find("<release version=\"1.0.0\""), std::string::npos);
    const std::string readme = ReadTextFile(std::string(QUARNEL_SOURCE_DIR) + "/README.md");
    const std::regex image("<image>https://quarnel.org/([^<]+)</image>");
    int images = 0;
    for (std::sregex_iterator it(listing.begin(), listing.end(), image), end; it != end; ++it, ++images) {
        const std::string path = (*it)[1].str();
        EXPECT_TRUE(fs::is_regular_file(std::string(QUARNEL_SOURCE_DIR) + "/" + path)) << path;
        EXPECT_NE(readme.find("](" + path + ")"), std::string::npos) << path << " is not in the README";
    }
    EXPECT_GE(images, 4);
}

TEST(Package, DebDeclaresTheLinkedLibrariesAndStartsFromItsMenuEntry) {
    TempDir dir;
    const GameRunResult pack = RunShell("cd " + dir.Path() + " && cpack --config " + std::string(QUARNEL_BUILD_DIR) +
                                     "/CPackConfig.cmake -B " + dir.Path());
    ASSERT_EQ(pack.exitCode, 0) << pack.output;
    std::string deb;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        if (entry.path().extension() == ".deb") {
            deb = entry.path().string();
        }
    }
    ASSERT_FALSE(deb.empty()) << pack.output;

    const GameRunResult fields = RunShell("dpkg-deb -f " + deb + " Package Section Depends");
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
        EXPECT_EQ(RunShell("dpkg-query -W -f='${Status}' " + package).output, "install ok installed") << package;
    }

    const std::string root = dir.File("root");
    ASSERT_EQ(RunShell("dpkg-deb -x " + deb + " " + root).exitCode, 0);
    ExpectInstalledFiles(root + "/usr", "games");
    if (Installed("lintian")) {
        // Tags go to standard output; standard error only says lintian runs as root.
        const GameRunResult lint = RunShell("{ lintian --fail-on error,warning " + deb + " 2>" + dir.File("lint.err") + "; }");
        EXPECT_EQ(lint.exitCode, 0) << lint.output << ReadTextFile(dir.File("lint.err"));
        EXPECT_EQ(lint.output, "");
    }

    // Installed the way dpkg does, into an empty system tree of its own; then the command of the
    // menu entry starts the game.
    const std::string system = dir.File("system");
    fs::create_directories(system + "/var/lib/dpkg/info");
    fs::create_directories(system + "/var/lib/dpkg/updates");
    WriteTextFile(system + "/var/lib/dpkg/status", "");
    const GameRunResult dpkg =
        RunShell("dpkg --root=" + system + " --force-not-root --force-depends --force-script-chrootless -i " + deb);
    ASSERT_EQ(dpkg.exitCode, 0) << dpkg.output;
    EXPECT_EQ(RunShell("dpkg --root=" + system + " -s quarnel").exitCode, 0);
    const std::string entry = ReadTextFile(system + "/usr/share/applications/" + kAppId + ".desktop");
    std::smatch exec;
    ASSERT_TRUE(std::regex_search(entry, exec, std::regex("\nExec=([^ \n]+)")));
    ExpectPlays(exec[1].str(), {"PATH=" + system + "/usr/games:/usr/bin:/bin"});
}

}  // namespace
