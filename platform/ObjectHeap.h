// The ordinary heap from which streams, decoders and the LZSS reader are made. Allocation never
// throws: a factory that gets no memory yields none. Natively the calls go through the platform
// stand-in, so that tests can count them and make one fail; on Windows they are plain operator new.
#pragma once

#include <cstddef>
#include <new>

#ifdef _WIN32
inline void* AllocateObject(std::size_t bytes) noexcept { return ::operator new(bytes, std::nothrow); }
inline void FreeObject(void* object) noexcept { ::operator delete(object); }
#else
void* AllocateObject(std::size_t bytes) noexcept;
void FreeObject(void* object) noexcept;
#endif

#include <memory>
#include <utility>

// Makes a T on the ordinary heap, or yields none when no memory is left.
template <class T, class... Args>
T* NewObject(Args&&... args) noexcept {
    void* memory = AllocateObject(sizeof(T));
    return memory != nullptr ? new (memory) T(std::forward<Args>(args)...) : nullptr;
}

// Destroys a T that NewObject made.
template <class T>
struct ObjectDeleter {
    void operator()(T* object) const noexcept {
        object->~T();
        FreeObject(object);
    }
};

template <class T>
using ObjectPtr = std::unique_ptr<T, ObjectDeleter<T>>;
