#include "core/Paths.h"

#include <sys/stat.h>

#include <cstdio>

namespace pel {

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

std::string DirectoryPart(std::string_view path) {
    auto p = path.rfind(kPathSeparator);
    return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p));
}

std::string FileNamePart(std::string_view path) {
    auto p = path.rfind(kPathSeparator);
    return p == std::string_view::npos ? std::string() : std::string(path.substr(p + 1));
}

std::string JoinPath(std::string_view directory, std::string_view name) {
    if (directory.empty()) return std::string(name);
    std::string out(directory);
    if (out.back() != kPathSeparator) out += kPathSeparator;
    out += name;
    return out;
}

}  // namespace pel
