#include "tests/e2e/RemoteBuffer.h"

#include <cstring>
#include <vector>

RemoteBuffer::RemoteBuffer(DWORD pid, size_t size) : hProcess(nullptr), pBase(nullptr), nSize(size)
{
    hProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                           FALSE, pid);
    if (hProcess) pBase = VirtualAllocEx(hProcess, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteBuffer::~RemoteBuffer()
{
    if (pBase) VirtualFreeEx(hProcess, pBase, 0, MEM_RELEASE);
    if (hProcess) CloseHandle(hProcess);
}

bool RemoteBuffer::Write(size_t offset, const void* data, size_t size) const
{
    SIZE_T done = 0;
    return pBase && offset + size <= nSize && WriteProcessMemory(hProcess, Pointer(offset), data, size, &done)
        && done == size;
}

bool RemoteBuffer::Read(size_t offset, void* data, size_t size) const
{
    SIZE_T done = 0;
    return pBase && offset + size <= nSize && ReadProcessMemory(hProcess, Pointer(offset), data, size, &done)
        && done == size;
}

std::string RemoteBuffer::String(size_t offset) const
{
    if (offset >= nSize) return std::string();
    std::vector<char> text(nSize - offset + 1, '\0');
    if (!Read(offset, text.data(), nSize - offset)) return std::string();
    return std::string(text.data(), strnlen(text.data(), nSize - offset));
}

bool RemoteBuffer::Clear() const
{
    std::vector<char> zeros(nSize, '\0');
    return Write(0, zeros.data(), nSize);
}
