#pragma once

#include <cstddef>
#include <string>

// The text the Console window shows, bounded: the last part of what arrived,
// cut at a line start, after one line saying that earlier output was dropped.
// Nothing here calls the operating system.
class ConsoleTextLimit {
public:
    // The text never grows past `limit` bytes (the dropped line included);
    // when it would, it is cut back to `limit - slack` so that the next cut
    // is some way off.
    ConsoleTextLimit(size_t limit, size_t slack);

    // The line shown first once something was dropped (a line end is added).
    void SetDroppedLine(const std::string& line);

    struct Change {
        bool bReplace;        // true: `strText` is the whole new text; false: append it
        std::string strText;
    };
    // New text. `droppedBefore`: text was lost before this (it does not
    // continue what is shown, and may begin inside a line).
    Change Add(const std::string& text, bool droppedBefore);

    // What is shown now.
    std::string Shown() const;
    bool HasDropped() const { return bDropped; }
    size_t Limit() const { return nLimit; }

private:
    void Trim(size_t target);

    size_t nLimit;
    size_t nSlack;
    std::string strDroppedLine;
    std::string strBody;  // what is shown after the dropped line
    bool bDropped;
};
