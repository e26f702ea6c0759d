#pragma once

// A constant buffer with its CPU copy: writers change the copy through Work(), and Write()
// uploads it only when something was changed since the last upload.

#include "framework/graphics/FwBuffer.h"

template <typename T>
class FwConstantBuffer {
public:
    bool Create(const T* initial = nullptr) {
        if (initial != nullptr) {
            data = *initial;
        }
        return buffer.Create(FwBind::kConstantBuffer, sizeof(T), FwUsage::Dynamic, &data);
    }

    void Release() {
        buffer.Release();
        dirty = true;
    }

    T& Work() {
        dirty = true;
        return data;
    }
    const T& Get() const { return data; }

    void Write() {
        if (dirty) {
            buffer.WriteData(&data, sizeof(T));
            dirty = false;
        }
    }

    const FwBuffer& Buffer() const { return buffer; }
    bool Dirty() const { return dirty; }

private:
    FwBuffer buffer;
    T data{};
    bool dirty = true;
};
