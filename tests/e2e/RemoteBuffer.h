#pragma once

#include <windows.h>
#include <string>

// Memory allocated inside another process, for control messages whose
// pointers the target reads in its own address space (tree, list, header,
// status bar). Freed with the object.
class RemoteBuffer {
public:
    RemoteBuffer(DWORD pid, size_t size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    explicit operator bool() const { return pBase != nullptr; }
    // Address inside the target, as a message parameter.
    LPARAM At(size_t offset = 0) const { return reinterpret_cast<LPARAM>(static_cast<char*>(pBase) + offset); }
    char* Pointer(size_t offset = 0) const { return static_cast<char*>(pBase) + offset; }
    size_t Size() const { return nSize; }

    bool Write(size_t offset, const void* data, size_t size) const;
    bool Read(size_t offset, void* data, size_t size) const;
    template <typename T> bool Put(size_t offset, const T& value) const { return Write(offset, &value, sizeof(T)); }
    template <typename T> bool Get(size_t offset, T& value) const { return Read(offset, &value, sizeof(T)); }
    // A zero-terminated string at offset (at most the rest of the buffer).
    std::string String(size_t offset) const;
    bool Clear() const;

private:
    HANDLE hProcess;
    void* pBase;
    size_t nSize;
};
