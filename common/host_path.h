// Drive C on a host that has none. A path that starts with "c:" or "C:" lives under the folder
// that stands for drive C ($CLUSTERING_DRIVE_C, else $HOME/.clustering/drive_c), with every
// backslash read as a folder separator; every other path is used as it stands. The front end
// and the engines resolve paths only through here, so they always meet at the same files.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace clustering {

inline constexpr std::string_view PathsRunFile = "c:\\outinfo.txt";
inline constexpr std::string_view DimensionsRunFile = "c:\\doutinfo.txt";
inline constexpr std::string_view ListingFile = "outputcluster.txt";

// True for a path on drive C: one that starts with "c:" or "C:".
bool onDriveC(std::string_view path);

std::filesystem::path driveCFolder();
std::filesystem::path resolveHostPath(std::string_view path);

// True when both paths name one existing file on disk, however each is spelled.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// "the system's reason" for the last failed file operation, from errno.
std::string systemReason();

}  // namespace clustering
