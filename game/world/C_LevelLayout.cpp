#include "game/world/C_LevelLayout.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <type_traits>
#include <variant>

#include <nlohmann/json.hpp>

#include "framework/platform/FwNumberText.h"
#include "framework/platform/FwPath.h"
#include "game/world/Snapshot.h"

namespace {

// A level has a dozen of each kind; every record becomes an actor with its own models and sounds,
// so a file that asks for thousands is cut short rather than followed.
constexpr int kMaxRecords = 256;
// A file this large cannot be a level of that size and is skipped unread.
constexpr std::uintmax_t kMaxFileBytes = 1 << 20;

// Reads records of numbers as fscanf with "%f %f ..." (or "%d %f ...") would, except that the
// decimal point is always '.', whatever the locale, and that a token which is not a finite number
// ends the file with a message: fscanf would stop in front of it and the reading loop would meet
// it again forever.
class RecordReader {
public:
    using Field = std::variant<float*, int*>;

    // False, silently, when the file cannot be opened; with a message when it is too large.
    bool Open(const std::string& name) {
        fileName = name;
        const std::string path = FwResolvePath(name);
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            return false;
        }
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        if (!error && size > kMaxFileBytes) {
            std::fprintf(stderr, "%s: %ju bytes, more than a level file can need; the file is ignored\n",
                         fileName.c_str(), size);
            return false;
        }
        text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        return true;
    }

    // True when at least one field was read: a record, possibly cut short, whose unread fields
    // keep their values. False at the end of the file, at a token that is not a number, or once
    // kMaxRecords records have been read.
    bool Read(std::initializer_list<Field> fields) {
        SkipSpace();
        if (records == kMaxRecords && position < text.size()) {
            std::fprintf(stderr, "%s: more than %d records; the rest of the file is ignored\n", fileName.c_str(),
                         kMaxRecords);
            position = text.size();
        }
        if (records == kMaxRecords) {
            return false;
        }
        ++records;
        int count = 0;
        for (const Field& field : fields) {
            SkipSpace();
            if (position == text.size()) {
                return count > 0;
            }
            const bool read = std::visit([this](auto* value) { return ReadNumber(*value); }, field);
            if (!read) {
                ReportBadToken();
                return count > 0;
            }
            ++count;
        }
        return true;
    }

private:
    void SkipSpace() {
        while (position < text.size() && IsSpace(text[position])) {
            ++position;
        }
    }

    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

    template <typename T>
    bool ReadNumber(T& value) {
        const char* first = text.data() + position;
        const char* const last = text.data() + text.size();
        // from_chars takes a minus sign but no plus sign; scanf takes either, once.
        if (*first == '+') {
            ++first;
            if (first == last || *first == '-') {
                return false;
            }
        }
        T parsed{};
        std::from_chars_result result;
        if constexpr (std::is_same_v<T, float>) {
            result = FwFloatFromChars(first, last, parsed);
        } else {
            result = std::from_chars(first, last, parsed);
        }
        if (result.ec != std::errc()) {
            return false;
        }
        if constexpr (std::is_same_v<T, float>) {
            if (!std::isfinite(parsed)) {
                return false;
            }
        }
        value = parsed;
        position = static_cast<size_t>(result.ptr - text.data());
        return true;
    }

    void ReportBadToken() {
        size_t end = position;
        while (end < text.size() && !IsSpace(text[end]) && end - position < 24) {
            ++end;
        }
        std::fprintf(stderr, "%s: '%s' is not a number; the rest of the file is ignored\n", fileName.c_str(),
                     text.substr(position, end - position).c_str());
        position = text.size();
    }

    std::string fileName;
    std::string text;
    size_t position = 0;
    int records = 0;
};

}  // namespace

void C_LevelLayout::Load() {
    LoadStart();
    LoadPositions("TxtData/Enemydata.txt", enemies);
    LoadPositions("TxtData/drumdata.txt", drums);
    LoadBreakers();
    LoadStands();
}

void C_LevelLayout::LoadStart() {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float unused = 0.0f;
    RecordReader reader;
    if (reader.Open("TxtData/data.txt")) {
        reader.Read({&x, &y, &z, &unused});
    }
    startPosition = Vector3(x, y, z);
}

// Enemies and drums are records of a position alone.
void C_LevelLayout::LoadPositions(const std::string& fileName, std::vector<Vector3>& positions) {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    RecordReader reader;
    if (!reader.Open(fileName)) {
        return;
    }
    while (reader.Read({&x, &y, &z})) {
        positions.emplace_back(x, y, z);
    }
}

void C_LevelLayout::LoadBreakers() {
    C_BreakerRecord record;
    RecordReader reader;
    if (!reader.Open("TxtData/breaker.txt")) {
        return;
    }
    while (reader.Read({&record.position.x, &record.position.y, &record.position.z, &record.angle})) {
        breakers.push_back(record);
    }
}

void C_LevelLayout::LoadStands() {
    C_StandRecord record;
    RecordReader reader;
    if (!reader.Open("TxtData/installatioStand.txt")) {
        return;
    }
    int number = 0;
    while (reader.Read(
        {&record.breakerIndex, &record.position.x, &record.position.y, &record.position.z, &record.angle})) {
        // A stand without its breaker could never be switched off; keep it out rather than link
        // it to nothing.
        if (record.breakerIndex < 0 || static_cast<size_t>(record.breakerIndex) >= breakers.size()) {
            std::fprintf(stderr,
                         "TxtData/installatioStand.txt: stand %d names breaker %d, but there are %zu breakers; "
                         "stand left out\n",
                         number, record.breakerIndex, breakers.size());
        } else {
            stands.push_back(record);
        }
        ++number;
    }
}

void C_LevelLayout::Snapshot(nlohmann::json& out) const {
    out = {
        {"start", ToJson(startPosition)}, {"enemies", enemies.size()}, {"drums", drums.size()},
        {"breakers", breakers.size()},    {"stands", stands.size()},
    };
}
