#pragma once

#include <string>
#include <vector>

// Files written as one whole: each goes to a temporary name beside its
// target, and the targets are replaced only when everything is written.
// Until then (and after a failed commit) every file that existed before is
// left byte for byte as it was. Works the same on the 9x family, which has
// no replacing move: an old file is renamed aside, and renamed back when the
// new one cannot take its place.
class StagedFiles {
public:
    StagedFiles() {}
    ~StagedFiles();  // discards what was not committed
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;

    // Creates an empty temporary file in the target's folder and returns its
    // path; "" when that folder cannot take one.
    std::string Stage(const std::string& target);
    // Deletes one staged file (by its temporary path) and forgets it.
    void Drop(const std::string& temporary);
    // Moves the staged files over their targets, in staging order. False when
    // one cannot be moved: then every target is as it was before.
    bool Commit();
    // Deletes the staged files; the targets stay untouched.
    void Discard();
    // The system's error code of the last Stage or Commit that failed, and
    // the target it failed for.
    unsigned long LastError() const { return lastError; }
    const std::string& FailedTarget() const { return failedTarget; }
    // The first target staged and not yet committed ("" when none).
    std::string FirstTarget() const { return entries.empty() ? std::string() : entries.front().target; }

    // Moves one file over another: with the system's replacing move when it
    // has one (and `replacingMove` allows it), else by renaming the old file
    // aside, moving the new one in and deleting the old one, or renaming it
    // back when the move fails. False when `target` was left as it was (the
    // system's error code of the failing step is then the last error).
    static bool MoveOver(const std::string& source, const std::string& target, bool replacingMove = true);

private:
    struct Entry {
        std::string temporary;
        std::string target;
        std::string aside;  // the old target while the commit runs
        bool moved = false;
    };
    static std::string TemporaryBeside(const std::string& path);
    void RollBack();

    std::vector<Entry> entries;
    unsigned long lastError = 0;
    std::string failedTarget;
};
