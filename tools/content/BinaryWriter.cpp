#include "tools/content/BinaryWriter.h"

#include <bit>
#include <fstream>
#include <iostream>

void BinaryWriter::F32(float value) { U32(std::bit_cast<uint32_t>(value)); }

void BinaryWriter::Little(uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<char>(value >> (8 * i)));
}

bool BinaryWriter::Save(const std::string& path) const {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        std::cerr << "Cannot write " << path << "\n";
        return false;
    }
    return true;
}
