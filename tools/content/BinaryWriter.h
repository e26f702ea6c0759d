#pragma once

// Little-endian binary records built in memory and saved as a whole: the sprite-font and WAV
// writers of the content generator.

#include <cstddef>
#include <cstdint>
#include <string>

class BinaryWriter {
public:
    void Tag(const char* fourCharacters) { bytes.append(fourCharacters, 4); }
    void U16(uint32_t value) { Little(value, 2); }
    void U32(uint32_t value) { Little(value, 4); }
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void F32(float value);
    void Raw(const void* data, size_t size) { bytes.append(static_cast<const char*>(data), size); }

    // False after a message when the file cannot be written.
    bool Save(const std::string& path) const;

private:
    void Little(uint32_t value, int count);

    std::string bytes;
};
