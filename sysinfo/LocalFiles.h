#pragma once

#include <string>

// The window's thread never opens a file over the network: a share or a
// drive that went offline would block it for the network's time-out, and
// open a connection the user did not ask for.
class LocalFiles {
public:
    // The path leads to a share or to a drive mapped to one.
    static bool IsNetworkPath(const std::string& path);
    // The folders of the system's DLL search that lie on this machine, joined
    // by ';': the current directory, the system and Windows folders, and the
    // local entries of PATH.
    static std::string LocalSearchPath();
};
