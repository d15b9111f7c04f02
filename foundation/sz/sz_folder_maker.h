// The folders of a folder extraction: made below its target folder from any
// thread, each once, remembering the ones this extraction made so that a
// stop can take back those it made ahead of the writer.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "foundation/sz/sz_sync.h"

class SzFolderMaker {
public:
    // Makes the target folder and the parents it lacks; false when it
    // cannot. Every later path lies below it.
    bool start(const std::wstring& targetDir);
    // Makes path and the parents it lacks; a folder that is there counts as
    // made. kept marks a folder the writer has reached: it stays after a stop.
    // False with the error in GetLastError().
    bool make(const std::wstring& path, bool kept);
    // Removes the folders made here that no writer reached, deepest first;
    // only empty ones go.
    void removeUnkept();

private:
    bool makeOne(const std::wstring& path);

    SzLock lock_;
    std::wstring targetDir_;
    std::set<std::wstring> known_;
    std::vector<std::wstring> made_;
    std::set<std::wstring> kept_;
};
