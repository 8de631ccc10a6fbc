#pragma once

#include <windows.h>
#include <string>

// The main window's status bar: part 0 with the view's count text (also its
// tip), part 1 kept for the CPU graph, part 2 without width; and the progress
// bar that takes part 0's place while an enumeration runs.
class StatusDisplay {
public:
    static const UINT kStatusId = 305;
    static const UINT kProgressId = 306;

    StatusDisplay();
    bool Create(HWND parent, bool visible);
    HWND Status() const { return hStatus; }
    HWND Progress() const { return hProgress; }
    bool IsVisible() const;
    void Show(bool visible);
    // Height taken in the layout: 0 while hidden.
    int Height() const;
    // Auto-sizes to the parent and recomputes the parts.
    void Layout(int cpuPartWidth);
    RECT PartRect(int part) const;

    // Part 0's text and tip.
    void SetText(const std::string& text);
    std::string Text() const;

    // Enumeration progress: phase 0 start (count), 1 one step, 2 end.
    void OnProgress(unsigned phase, unsigned count);
    void Destroy();

private:
    HWND hStatus;
    HWND hProgress;
    static const DWORD kPaintInterval = 50;
    int nProgressDepth;
    unsigned nProgressPosition;
    DWORD dwLastPaint;
    std::string strSavedText;
    std::string strSavedTip;
};
