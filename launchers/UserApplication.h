#pragma once

#include "launchers/ListsFileFormat.h"

#include <windows.h>
#include <string>

// One user-defined application: a program started on the selected module.
// The icon is owned; copies get their own copy of it.
class UserApplication {
public:
    static constexpr UINT kDefaultIcon = 112;

    UserApplication();
    ~UserApplication();
    UserApplication(const UserApplication& other);
    UserApplication& operator=(const UserApplication& other);

    // Sets the four texts, each cut to 259 characters.
    void SetTexts(const std::string& description, const std::string& application, const std::string& startPath,
                  const std::string& arguments);
    ApplicationEntry Entry() const;
    // Takes the program's first small icon, else icon 112 of `program`.
    void LoadIcon(HINSTANCE program);
    // Takes ownership of `icon` (null allowed).
    void SetIcon(HICON icon);

    // The entry that Add makes for a chosen program: its version resource's
    // FileDescription or, without one, its base name; its folder; "%m".
    static void MakeNewEntry(const std::string& path, HINSTANCE program, UserApplication& entry);
    // The entry's texts without the icon rule: for tests and the lists file.
    static ApplicationEntry NewEntryTexts(const std::string& path, const std::string& fileDescription);

    char szDescription[260];
    char szApplication[260];
    char szStartPath[260];
    char szArguments[260];
    HICON hIcon;
};
