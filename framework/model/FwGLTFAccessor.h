#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tinygltf {
class Model;
}

// One accessor's elements copied out of the file's buffers into a tightly packed array.
// Reading honours buffer-view strides and sparse substitutions and checks every offset, count
// and stride against the buffers first, so a file whose numbers do not fit fails cleanly
// instead of reading past the end of its data.
class FwGLTFAccessor {
public:
    // False with the reason in `error` when the accessor is missing or does not fit its buffers.
    bool Read(const tinygltf::Model& model, int accessorIndex, std::string& error);

    int ComponentType() const { return componentType; }
    int ComponentCount() const { return componentCount; }
    size_t Count() const { return count; }

    // Component as stored, converted to float (integers keep their value).
    float Raw(size_t element, int component) const;
    // Component as a 0..1 (or -1..1) value: floats as they are, integer types divided by their
    // largest value, signed ones not below -1, other types 0.
    float Normalized(size_t element, int component) const;
    // Integer component as a signed 64-bit value (float components read as 0).
    int64_t Integer(size_t element) const;

    // The bytes of a buffer view after checking that it lies inside its buffer; null with the
    // reason in `error` otherwise.
    static const uint8_t* ViewData(const tinygltf::Model& model, int viewIndex, size_t& length, std::string& error);

private:
    bool ReadSparse(const tinygltf::Model& model, int accessorIndex, std::string& error);
    const uint8_t* Component(size_t element, int component) const;

    int componentType = 0;
    int componentCount = 0;
    size_t componentSize = 0;
    size_t count = 0;
    std::vector<uint8_t> bytes;
};
