#pragma once

#include <string>
#include <vector>

// tw-catcher as the "open" command of http and https addresses for the
// object's life: it writes its command line (UTF-8) and folder to `out`.
// The old commands are put back, and `out` removed, at the end.
class BrowserCatcher {
public:
    explicit BrowserCatcher(const std::string& out);
    ~BrowserCatcher();
    BrowserCatcher(const BrowserCatcher&) = delete;
    BrowserCatcher& operator=(const BrowserCatcher&) = delete;

    // The address the browser was given: the last argument of its command
    // line, unquoted. Waits up to 10 s; the file is removed after reading.
    bool WaitAddress(std::string& address) const;

private:
    struct Saved {
        std::string key, value;
        bool had;
    };
    std::string strOut;
    std::vector<Saved> saved;
};
