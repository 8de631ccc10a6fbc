#pragma once

#include <cstddef>
#include <string>

// Turns the chunks a console program writes to one stream into text for an
// edit control: converted from the console code page, lone LF as CR LF, NUL
// as a space. A double-byte lead byte or a CR that ends a chunk waits for the
// next chunk. Nothing here calls the operating system: the code page's lead
// bytes and the conversion come from the caller.
class ConsoleTextFilter {
public:
    // Converts `length` bytes in place; the length stays.
    typedef void (*Converter)(char* text, size_t length);

    // leadBytes: 256 flags, or null for a single-byte code page; converter: null keeps the bytes.
    ConsoleTextFilter(const bool* leadBytes = nullptr, Converter converter = nullptr);

    // For text from a console program: the OEM code page to ANSI (ConsoleTextFilterOem.cpp).
    static ConsoleTextFilter ForOemConsole();

    std::string Filter(const char* data, size_t size);
    // What was held back, at the end of the stream.
    std::string Flush();

private:
    std::string Finish(std::string bytes);

    bool abLeadBytes[256];
    Converter pConvert;
    std::string strHeld;
    bool bLastWasCR;
};
