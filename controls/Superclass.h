#pragma once

#include <windows.h>

// A window class of our own built on a system class: the system's procedure
// does the work, ours handles what we add. Each window keeps its object in a
// window word behind the system class's own.
class Superclass {
public:
    // `commonControls`: the class set to initialise first (0 for none).
    Superclass(const char* baseClass, const char* className, DWORD commonControls);

    bool Register(WNDPROC procedure);
    void Unregister();

    WNDPROC BaseProc() const { return baseProc; }
    // Offset of the window word that holds the object.
    int ObjectSlot() const { return baseExtra; }
    const char* ClassName() const { return className; }

private:
    const char* baseClass;
    const char* className;
    DWORD commonControls;
    WNDPROC baseProc;
    int baseExtra;
    bool registered;
};
