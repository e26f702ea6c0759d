#include "framework/model/FwGLTFAccessor.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cstring>

namespace {

// Far beyond any model of the game; keeps a lying count from allocating gigabytes for an
// accessor that has no buffer view (which reads as zeros).
constexpr size_t kMaxElements = size_t(1) << 22;

// Whether `count` elements of `elementSize` bytes, `stride` bytes apart, starting `offset` bytes
// in, lie inside `length` bytes. Written so that no intermediate value can overflow.
bool Fits(size_t length, size_t offset, size_t count, size_t stride, size_t elementSize) {
    if (offset > length) {
        return false;
    }
    if (count == 0) {
        return true;
    }
    if (elementSize > length - offset) {
        return false;
    }
    return count - 1 <= (length - offset - elementSize) / stride;
}

size_t ComponentSize(int componentType) {
    switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return 1;
    case TINYGLTF_COMPONENT_TYPE_SHORT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
        return 2;
    case TINYGLTF_COMPONENT_TYPE_INT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
        return 4;
    default:
        return 0;
    }
}

int ComponentsOfType(int type) {
    switch (type) {
    case TINYGLTF_TYPE_SCALAR:
        return 1;
    case TINYGLTF_TYPE_VEC2:
        return 2;
    case TINYGLTF_TYPE_VEC3:
        return 3;
    case TINYGLTF_TYPE_VEC4:
        return 4;
    default:
        return 0;
    }
}

template <typename T>
T Load(const uint8_t* source) {
    T value;
    std::memcpy(&value, source, sizeof(T));
    return value;
}

// An integer component of the given type; 0 for floats.
int64_t LoadInteger(const uint8_t* source, int componentType) {
    switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
        return Load<int8_t>(source);
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return Load<uint8_t>(source);
    case TINYGLTF_COMPONENT_TYPE_SHORT:
        return Load<int16_t>(source);
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
        return Load<uint16_t>(source);
    case TINYGLTF_COMPONENT_TYPE_INT:
        return Load<int32_t>(source);
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
        return Load<uint32_t>(source);
    default:
        return 0;
    }
}

}  // namespace

const uint8_t* FwGLTFAccessor::ViewData(const tinygltf::Model& model, int viewIndex, size_t& length,
                                        std::string& error) {
    if (viewIndex < 0 || size_t(viewIndex) >= model.bufferViews.size()) {
        error = "buffer view " + std::to_string(viewIndex) + " does not exist";
        return nullptr;
    }
    const tinygltf::BufferView& view = model.bufferViews[size_t(viewIndex)];
    if (view.buffer < 0 || size_t(view.buffer) >= model.buffers.size()) {
        error = "buffer view " + std::to_string(viewIndex) + " names a missing buffer";
        return nullptr;
    }
    const std::vector<unsigned char>& data = model.buffers[size_t(view.buffer)].data;
    if (!Fits(data.size(), view.byteOffset, 1, 1, view.byteLength)) {
        error = "buffer view " + std::to_string(viewIndex) + " lies outside its buffer";
        return nullptr;
    }
    length = view.byteLength;
    return data.data() + view.byteOffset;
}

bool FwGLTFAccessor::Read(const tinygltf::Model& model, int accessorIndex, std::string& error) {
    bytes.clear();
    const std::string name = "accessor " + std::to_string(accessorIndex);
    if (accessorIndex < 0 || size_t(accessorIndex) >= model.accessors.size()) {
        error = name + " does not exist";
        return false;
    }
    const tinygltf::Accessor& accessor = model.accessors[size_t(accessorIndex)];
    componentType = accessor.componentType;
    componentSize = ComponentSize(componentType);
    componentCount = ComponentsOfType(accessor.type);
    count = accessor.count;
    if (componentSize == 0 || componentCount == 0) {
        error = name + " has an unsupported component type or element type";
        return false;
    }
    if (count > kMaxElements) {
        error = name + " has too many elements (" + std::to_string(count) + ")";
        return false;
    }
    const size_t elementSize = componentSize * size_t(componentCount);
    bytes.assign(count * elementSize, 0);

    if (accessor.bufferView >= 0) {
        size_t length = 0;
        const uint8_t* data = ViewData(model, accessor.bufferView, length, error);
        if (data == nullptr) {
            error = name + ": " + error;
            return false;
        }
        const size_t viewStride = model.bufferViews[size_t(accessor.bufferView)].byteStride;
        const size_t stride = viewStride != 0 ? viewStride : elementSize;
        if (stride < elementSize) {
            error = name + " has a byte stride of " + std::to_string(stride) + ", smaller than its elements of " +
                    std::to_string(elementSize) + " bytes";
            return false;
        }
        if (!Fits(length, accessor.byteOffset, count, stride, elementSize)) {
            error = name + " reads past the end of buffer view " + std::to_string(accessor.bufferView);
            return false;
        }
        for (size_t i = 0; i < count; ++i) {
            std::memcpy(bytes.data() + i * elementSize, data + accessor.byteOffset + i * stride, elementSize);
        }
    }
    if (accessor.sparse.isSparse && !ReadSparse(model, accessorIndex, error)) {
        error = name + ": " + error;
        return false;
    }
    return true;
}

// Replaces the elements that the sparse part lists; its index and value arrays are tightly packed.
bool FwGLTFAccessor::ReadSparse(const tinygltf::Model& model, int accessorIndex, std::string& error) {
    const auto& sparse = model.accessors[size_t(accessorIndex)].sparse;
    const int indexType = sparse.indices.componentType;
    if (indexType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE && indexType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
        indexType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT) {
        error = "sparse indices have an unsupported component type";
        return false;
    }
    if (sparse.count < 0 || size_t(sparse.count) > count || sparse.indices.byteOffset < 0 ||
        sparse.values.byteOffset < 0) {
        error = "sparse count or offsets out of range";
        return false;
    }
    const size_t sparseCount = size_t(sparse.count);
    const size_t indexSize = ComponentSize(indexType);
    const size_t elementSize = componentSize * size_t(componentCount);
    size_t indexLength = 0;
    size_t valueLength = 0;
    const uint8_t* indices = ViewData(model, sparse.indices.bufferView, indexLength, error);
    const uint8_t* values = indices ? ViewData(model, sparse.values.bufferView, valueLength, error) : nullptr;
    if (values == nullptr) {
        return false;
    }
    if (!Fits(indexLength, size_t(sparse.indices.byteOffset), sparseCount, indexSize, indexSize) ||
        !Fits(valueLength, size_t(sparse.values.byteOffset), sparseCount, elementSize, elementSize)) {
        error = "sparse data reads past the end of its buffer view";
        return false;
    }
    indices += sparse.indices.byteOffset;
    values += sparse.values.byteOffset;
    for (size_t i = 0; i < sparseCount; ++i) {
        const auto target = uint64_t(LoadInteger(indices + i * indexSize, indexType));
        if (target >= count) {
            error = "sparse index " + std::to_string(target) + " is beyond the accessor's " + std::to_string(count) +
                    " elements";
            return false;
        }
        std::memcpy(bytes.data() + target * elementSize, values + i * elementSize, elementSize);
    }
    return true;
}

float FwGLTFAccessor::Raw(size_t element, int component) const {
    const uint8_t* source = Component(element, component);
    return componentType == TINYGLTF_COMPONENT_TYPE_FLOAT ? Load<float>(source)
                                                          : float(LoadInteger(source, componentType));
}

float FwGLTFAccessor::Normalized(size_t element, int component) const {
    const float raw = Raw(element, component);
    switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
        return raw;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return raw / 255.0f;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
        return raw / 65535.0f;
    case TINYGLTF_COMPONENT_TYPE_BYTE:
        return std::max(raw / 127.0f, -1.0f);
    case TINYGLTF_COMPONENT_TYPE_SHORT:
        return std::max(raw / 32767.0f, -1.0f);
    default:
        return 0.0f;
    }
}

int64_t FwGLTFAccessor::Integer(size_t element) const { return LoadInteger(Component(element, 0), componentType); }

const uint8_t* FwGLTFAccessor::Component(size_t element, int component) const {
    return bytes.data() + (element * size_t(componentCount) + size_t(component)) * componentSize;
}
