#include "eb/TextFileWriter.h"

#include <cerrno>
#include <cstring>

#include "core/Cp1252.h"

namespace pel::eb {

namespace {
constexpr std::size_t kFlushSize = 1 << 20;
}

TextFileWriter::~TextFileWriter() {
    close();
}

bool TextFileWriter::open(const std::string& path) {
    close();
    path_ = path;
    failed_ = false;
    error_.clear();
    unmappable_ = 0;
    buffer_.clear();
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) {
        failed_ = true;
        error_ = "Cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    buffer_.reserve(kFlushSize + 4096);
    return true;
}

void TextFileWriter::writeLine(std::string_view utf8) {
    if (!file_) return;
    if (IsAscii(utf8))
        buffer_.append(utf8);
    else
        AppendUtf8AsCp1252(utf8, buffer_, unmappable_);
    buffer_ += "\r\n";
    if (buffer_.size() >= kFlushSize) flush();
}

void TextFileWriter::flush() {
    if (!file_ || buffer_.empty()) return;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size() && !failed_) {
        failed_ = true;
        error_ = "Cannot write " + path_ + ": " + std::strerror(errno);
    }
    buffer_.clear();
}

bool TextFileWriter::close() {
    if (!file_) return !failed_;
    flush();
    if (std::fclose(file_) != 0 && !failed_) {
        failed_ = true;
        error_ = "Cannot write " + path_ + ": " + std::strerror(errno);
    }
    file_ = nullptr;
    return !failed_;
}

}  // namespace pel::eb
