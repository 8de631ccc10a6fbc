#pragma once

#include <windows.h>

// Base of the run-time bindings of optional system libraries: loads the
// library by file name and frees it on destruction. A library that cannot be
// loaded leaves the module null and writes one line to the debugger output.
class WrapperBase {
public:
    explicit WrapperBase(const char* libraryName);
    virtual ~WrapperBase();

    WrapperBase(const WrapperBase&) = delete;
    WrapperBase& operator=(const WrapperBase&) = delete;

    HMODULE GetModule() const { return hModule; }

protected:
    struct Quiet {};
    // Loads without writing anything on failure.
    WrapperBase(const char* libraryName, Quiet);

    // Entry point by name; null when the library is not loaded or lacks it.
    template <class T>
    T Resolve(const char* name) const
    {
        return hModule ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(hModule, name)))
                       : nullptr;
    }

    HMODULE hModule;
};
