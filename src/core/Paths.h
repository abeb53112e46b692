#pragma once
// Path functions shared by the dialogs and engines. Paths are split at this platform's
// separator ("/").

#include <string>
#include <string_view>
#include <vector>

namespace pel {

inline constexpr char kPathSeparator = '/';

// True when the path names a file that can be opened for reading (a directory is not).
bool FileExists(const std::string& path);
// Why an output file may not be written, or empty text: an existing output that is not a
// regular file (a folder, a device, a FIFO), or one that is the same file as an input.
std::string OutputRefusal(const std::string& output, const std::vector<std::string>& inputs);
// The part before the last separator; empty text when there is none ("/data/plant.db" gives
// "/data", "/plant.db" gives "", "plant.db" gives "").
std::string DirectoryPart(std::string_view path);
// The part after the last separator; empty text when there is none (not the whole path).
std::string FileNamePart(std::string_view path);
// Joins a directory and a name with the separator.
std::string JoinPath(std::string_view directory, std::string_view name);

}  // namespace pel
