#include "tools/ConsoleTextLimit.h"

ConsoleTextLimit::ConsoleTextLimit(size_t limit, size_t slack)
    : nLimit(limit), nSlack(slack < limit ? slack : limit / 2), strDroppedLine("[...]\r\n"), bDropped(false)
{
}

void ConsoleTextLimit::SetDroppedLine(const std::string& line)
{
    // Short enough to leave room for the text; one line.
    std::string text = line.substr(0, nLimit / 4);
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    strDroppedLine = text + "\r\n";
}

std::string ConsoleTextLimit::Shown() const
{
    return bDropped ? strDroppedLine + strBody : strBody;
}

void ConsoleTextLimit::Trim(size_t target)
{
    const size_t room = target > strDroppedLine.size() ? target - strDroppedLine.size() : 0;
    if (strBody.size() <= room) return;
    size_t cut = strBody.size() - room;
    // From the start of the next line, when one starts in what is kept.
    const size_t lineEnd = strBody.find('\n', cut > 0 ? cut - 1 : 0);
    if (lineEnd != std::string::npos && lineEnd + 1 < strBody.size()) cut = lineEnd + 1;
    strBody.erase(0, cut);
    bDropped = true;
}

ConsoleTextLimit::Change ConsoleTextLimit::Add(const std::string& text, bool droppedBefore)
{
    if (droppedBefore) {
        // What is shown and the start of `text` are apart: begin at a line start.
        strBody.clear();
        bDropped = true;
        const size_t lineEnd = text.find('\n');
        if (lineEnd != std::string::npos && lineEnd + 1 < text.size()) strBody.assign(text, lineEnd + 1, std::string::npos);
        else strBody = text;
        if (strDroppedLine.size() + strBody.size() > nLimit) Trim(nLimit - nSlack);
        return Change{true, Shown()};
    }
    const size_t shown = (bDropped ? strDroppedLine.size() : 0) + strBody.size();
    if (shown + text.size() <= nLimit) {
        strBody += text;
        return Change{false, text};
    }
    // Past the limit: only the tail of the new text can stay, and of what is shown only what fits beside it.
    if (text.size() >= nLimit) {
        strBody.assign(text, text.size() - nLimit, std::string::npos);
    } else {
        strBody += text;
    }
    Trim(nLimit - nSlack);
    return Change{true, Shown()};
}
