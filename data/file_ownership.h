#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace lambreya {

// What a file is beside its content: its owner, group, mode and number of hard links.
// Replacing a file by a new one would lose them; the writer keeps them.
struct FileOwnership {
    std::uint64_t links = 1;
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
    std::uint32_t mode = 0;
};

// Of the file at path, following symbolic links; empty when there is none or the platform
// keeps no such thing.
std::optional<FileOwnership> fileOwnership(const QString& path);

// The user this process acts as (its effective user id).
std::uint32_t processUserId();

// Whether a new file this process creates can be given that owner and group.
bool canGiveOwnership(const FileOwnership& ownership);

// Gives the file at path that owner, group and mode; false when the system refuses.
bool giveOwnership(const QString& path, const FileOwnership& ownership);

// Forces what was written through the open file handle to the disk.
bool syncToDisk(int handle);

// As syncToDisk, for the content and the size only: cheaper where the file's times need
// not be on the disk yet (an append-only journal).
bool syncDataToDisk(int handle);

// Forces the folder's entries (a file renamed into it) to the disk; false when it cannot.
bool syncFolder(const QString& folder);

} // namespace lambreya
