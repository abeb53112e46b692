#include "core/Paths.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

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

std::string OutputRefusal(const std::string& output, const std::vector<std::string>& inputs) {
    std::error_code error;
    const auto status = std::filesystem::status(output, error);
    if (!std::filesystem::exists(status)) return {};
    if (!std::filesystem::is_regular_file(status)) return output + " is not a regular file";
    for (const auto& input : inputs)
        if (std::filesystem::equivalent(output, input, error) && !error)
            return output + " is also an input of this run";
    return {};
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
