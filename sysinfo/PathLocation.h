#pragma once

#include <string>

// Where a file path leads: to this machine, or over the network (a share,
// or a drive letter mapped to one). No OS calls but the drive-type question,
// which the caller answers.
class PathLocation {
public:
    enum class Kind { Local, Network, DriveLetter };

    // UNC ("\\host\share\..."), "\\?\UNC\...", the redirector's native names
    // ("\Device\Mup\...", "\Device\LanmanRedirector\...") are Network; a path
    // starting with a drive letter (also after "\\?\" or "\??\") is DriveLetter
    // with `drive` set; everything else Local.
    static Kind Classify(const std::string& path, char& drive);
    // Whether the path leads over the network, with the answer for a drive
    // letter given (LocalFiles asks the system).
    template <class RemoteDrive>
    static bool IsNetwork(const std::string& path, RemoteDrive remoteDrive)
    {
        char drive = 0;
        const Kind kind = Classify(path, drive);
        return kind == Kind::Network || (kind == Kind::DriveLetter && remoteDrive(drive));
    }
};
