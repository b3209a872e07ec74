// Heap buffers for texts: null when memory runs out, never an exception.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace tavrik {

// A buffer of `size` bytes plus one for a terminating NUL.
inline std::unique_ptr<char[]> allocate_text(std::size_t size) {
    return std::unique_ptr<char[]>(new (std::nothrow) char[size + 1]);
}

// The same, for a text that candidates may share.
inline std::shared_ptr<char[]> allocate_shared_text(std::size_t size) {
    try {
        return std::make_shared_for_overwrite<char[]>(size + 1);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace tavrik
