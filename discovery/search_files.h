#pragma once
// Listing the files under a folder whose names match wildcard patterns, in a
// depth-first pre-order: a folder's matches (pattern by pattern, in the platform's
// stable name order), then each subfolder's whole tree.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace txtenc {

using TextList = std::vector<std::string>;

// Appends to `list` every regular file in `folder` (and, with `recurse`, in every
// subfolder at any depth) whose name matches one of the "|"-separated `patterns`;
// without `recurse` the list is emptied first. Entries are the working folder
// ("folder" plus "/" when it lacks one) followed by the name, or the bare name without
// `fullPaths`. A file matching two patterns is listed twice. The calling thread's
// message queue is served after every file found and every subfolder searched.
// Returns the number of entries in the list.
//
// Guards: an empty folder text lists nothing (it must never mean the root); a folder
// already on the current path (a link loop) is not entered again; a link to a folder
// outside `folder` is not followed; FIFOs, sockets, devices and dangling links are
// never listed. `stop`, when given and set, ends the search early.
std::int32_t SearchFiles(const std::string& folder, const std::string& patterns, TextList& list,
                         bool fullPaths, bool recurse,
                         const std::atomic<bool>* stop = nullptr);

// Handles every message waiting in the calling thread's queue (a quit message like
// any other); never waits.
void PumpPendingMessages();

// The "|"-separated items of a pattern text. Paths and patterns are UTF-8, whose
// multi-byte characters never contain the byte "|", so every "|" separates. An
// empty item stands between two separators and before a leading one; what follows
// the last separator is an item only when it is not empty.
std::vector<std::string> SplitPatterns(const std::string& patterns);

}  // namespace txtenc
