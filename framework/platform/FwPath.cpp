#include "framework/platform/FwPath.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <unordered_map>

namespace fs = std::filesystem;

namespace {

std::string ExecutableDirectory() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : exe.parent_path().string();
}

// The build folder holds the content beside the game; an installed game finds it in the data
// folder of its own prefix, so the whole installation can move.
std::string DefaultContentRoot() {
    const fs::path exeDirectory = ExecutableDirectory();
    std::error_code error;
    if (fs::is_directory(exeDirectory / "Data", error)) {
        return exeDirectory.string();
    }
    const fs::path installed = (exeDirectory / QUARNEL_DATA_FROM_BIN).lexically_normal();
    return fs::is_directory(installed, error) ? installed.string() : exeDirectory.string();
}

std::string& ContentRoot() {
    static std::string root = DefaultContentRoot();
    return root;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// The entry of `directory` whose name matches `name` ignoring case, or empty. Entries are
// sorted so that the choice between two spellings of one name is the same on every machine.
std::string FindIgnoringCase(const fs::path& directory, const std::string& name) {
    std::error_code error;
    std::string found;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        const std::string candidate = it->path().filename().string();
        if (EqualsIgnoringCase(candidate, name) && (found.empty() || candidate < found)) {
            found = candidate;
        }
    }
    return found;
}

// `path` under `directory`, each part matched ignoring case when it is not there as spelled.
std::string ResolveOnDisk(const std::string& directory, const std::string& path) {
    std::string normalised = path;
    std::replace(normalised.begin(), normalised.end(), '\\', '/');
    const fs::path wanted(normalised);
    fs::path resolved = wanted.is_absolute() ? fs::path("/") : fs::path(directory.empty() ? "." : directory);

    std::error_code error;
    if (fs::exists(resolved / wanted, error)) {
        return (resolved / wanted).string();
    }
    bool searching = true;
    for (const fs::path& part : wanted.relative_path()) {
        const std::string name = part.string();
        if (name.empty() || name == ".") {
            continue;
        }
        if (searching && !fs::exists(resolved / name, error) && name != "..") {
            const std::string match = FindIgnoringCase(resolved, name);
            if (!match.empty()) {
                resolved /= match;
                continue;
            }
            searching = false;
        }
        resolved /= name;
    }
    return resolved.string();
}

}  // namespace

std::string FwResolvePath(const std::string& path) { return FwResolvePathFrom(ContentRoot(), path); }

std::string FwResolvePathFrom(const std::string& directory, const std::string& path) {
    // Every shot and every new enemy state asks for the same few files, and a spelling that
    // differs in case costs a listing of each folder on the way: answers already found are kept,
    // and still trusted as long as the file is there.
    static std::unordered_map<std::string, std::string> found;
    const std::string key = directory + '\0' + path;
    std::error_code error;
    if (const auto known = found.find(key); known != found.end() && fs::exists(known->second, error)) {
        return known->second;
    }
    std::string resolved = ResolveOnDisk(directory, path);
    if (fs::exists(resolved, error)) {
        found[key] = resolved;
    }
    return resolved;
}

void FwSetContentRoot(const std::string& directory) { ContentRoot() = directory; }

const std::string& FwContentRoot() { return ContentRoot(); }
