#include "eb/EbLineReader.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "eb/Cp1252.h"

namespace pel::eb {

namespace {
constexpr std::size_t kBufferSize = 1 << 20;
}

EbLineReader::~EbLineReader() { close(); }

bool EbLineReader::open(const std::string& path) {
    close();
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error_ = path + " is a folder, not a file";
        failed_ = true;
        return false;
    }
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) {
        error_ = "Cannot open " + path + ": " + std::strerror(errno);
        failed_ = true;
        return false;
    }
    fileSize_ = static_cast<std::uint64_t>(info.st_size);
    buffer_.resize(kBufferSize);
    begin_ = end_ = 0;
    atEof_ = pendingCr_ = failed_ = false;
    lineNumber_ = consumed_ = 0;
    long_.clear();
    error_.clear();
    return true;
}

void EbLineReader::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool EbLineReader::fill() {
    if (atEof_ || !file_) return false;
    begin_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    if (end_ == 0) {
        atEof_ = true;
        if (std::ferror(file_)) {
            failed_ = true;
            error_ = std::string("Cannot read the file: ") + std::strerror(errno);
        }
        return false;
    }
    return true;
}

bool EbLineReader::next(std::string_view& line) {
    if (!file_) return false;
    long_.clear();
    bool inLong = false;
    unsigned char high = 0;
    for (;;) {
        if (begin_ == end_ && !fill()) {
            if (!inLong) return false;  // nothing left: no further line
            break;                      // the last line lacks its end
        }
        if (pendingCr_) {
            pendingCr_ = false;
            if (buffer_[begin_] == '\n') {
                ++begin_;
                ++consumed_;
                continue;
            }
        }
        const char* data = buffer_.data();
        std::size_t i = begin_;
        for (; i < end_; ++i) {
            const auto c = static_cast<unsigned char>(data[i]);
            high |= c;
            if (c <= '\r' && (c == '\n' || c == '\r')) break;
        }
        if (i == end_) {  // no line end in what the buffer holds: keep it and read on
            long_.append(data + begin_, end_ - begin_);
            consumed_ += end_ - begin_;
            begin_ = end_;
            inLong = true;
            continue;
        }
        std::string_view piece(data + begin_, i - begin_);
        std::size_t used = i - begin_ + 1;
        if (data[i] == '\r') {
            if (i + 1 < end_) {
                if (data[i + 1] == '\n') ++used;
            } else {
                pendingCr_ = true;
            }
        }
        begin_ += used;
        consumed_ += used;
        if (inLong) {
            long_.append(piece);
            line = long_;
        } else {
            line = piece;
        }
        return finishLine(line, high);
    }
    line = long_;
    return finishLine(line, high);
}

bool EbLineReader::finishLine(std::string_view& line, unsigned char high) {
    ++lineNumber_;
    if (high & 0x80) {  // only lines with bytes from 0x80 up need decoding
        decoded_.clear();
        AppendCp1252AsUtf8(line, decoded_);
        line = decoded_;
    }
    return true;
}

}  // namespace pel::eb
