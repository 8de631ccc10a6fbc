// A windowless GUI program that records how it was started:
//   tw-catcher OUTFILE [ANYTHING...]
// writes its whole command line (in UTF-8, as the system gave it in UTF-16)
// and its current folder, one per line, to OUTFILE (first to OUTFILE.tmp,
// then renamed, so that a reader never sees half a file).
#include <windows.h>
#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc < 2) return 2;
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    const wchar_t* wide = GetCommandLineW();
    std::string commandLine(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr)), '\0');
    if (!commandLine.empty()) {
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, &commandLine[0], static_cast<int>(commandLine.size()), nullptr, nullptr);
        commandLine.pop_back();
    }
    const std::string text = commandLine + "\r\n" + folder + "\r\n";
    const std::string target = __argv[1];
    const std::string temporary = target + ".tmp";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    DeleteFileA(target.c_str());
    return MoveFileA(temporary.c_str(), target.c_str()) ? 0 : 4;
}
