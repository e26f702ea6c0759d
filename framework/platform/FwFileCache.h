#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

// Content made from one file, loaded once and shared read-only by everyone who asks for it: the
// models, textures and sounds that every bullet, ring and robot would otherwise read again. An
// entry is keyed by the resolved path and remembers the file's size and modification time and the
// device its GPU or sound objects belong to; a request that finds any of them changed loads again,
// so an edited file, a file that has appeared since, or a new device is never served stale.
// A failed load is kept as well (empty), so a missing file costs one stat per request, not one
// attempt and one error message per bullet.
template <typename T>
class FwFileCache {
public:
    using Loader = std::function<std::shared_ptr<const T>(const std::string& resolvedPath)>;

    // `key` is the resolved path, perhaps with the load's options appended after a '|'.
    std::shared_ptr<const T> Get(const std::string& key, const std::string& resolvedPath, uint32_t device,
                                 const Loader& load) {
        const Stamp stamp = StampOf(resolvedPath, device);
        const auto found = entries.find(key);
        if (found != entries.end() && found->second.stamp == stamp) {
            return found->second.content;
        }
        std::shared_ptr<const T> content = load(resolvedPath);
        entries[key] = {content, stamp};
        return content;
    }

    // Drops every entry; content still held by its users lives on with them.
    void Release() { entries.clear(); }
    size_t Size() const { return entries.size(); }

private:
    struct Stamp {
        bool exists = false;
        int64_t size = 0;
        int64_t writtenSeconds = 0;
        int64_t writtenNanoseconds = 0;
        uint32_t device = 0;

        bool operator==(const Stamp& other) const = default;
    };
    struct Entry {
        std::shared_ptr<const T> content;
        Stamp stamp;
    };

    static Stamp StampOf(const std::string& path, uint32_t device) {
        Stamp stamp;
        stamp.device = device;
        struct stat status {};
        if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
            return stamp;
        }
        stamp.exists = true;
        stamp.size = status.st_size;
        stamp.writtenSeconds = status.st_mtim.tv_sec;
        stamp.writtenNanoseconds = status.st_mtim.tv_nsec;
        return stamp;
    }

    std::map<std::string, Entry> entries;
};
