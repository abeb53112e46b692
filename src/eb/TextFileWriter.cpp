#include "eb/TextFileWriter.h"

#include "core/Cp1252.h"

namespace pel::eb {

namespace {
constexpr std::size_t kFlushSize = 1 << 20;
}

bool TextFileWriter::open(const std::string& path, TextEncoding encoding) {
    utf8_ = encoding == TextEncoding::Utf8;
    unmappable_ = 0;
    buffer_.clear();
    if (!file_.open(path)) return false;
    buffer_.reserve(kFlushSize + 4096);
    return true;
}

void TextFileWriter::writeLineOf(std::initializer_list<std::string_view> parts) {
    if (!file_.isOpen()) return;
    // Almost every line is ASCII: it is copied as it is and tested once, whole; only a line
    // that is not is written again, converted.
    const std::size_t start = buffer_.size();
    for (std::string_view utf8 : parts) buffer_.append(utf8);
    if (!utf8_ && !IsAscii(std::string_view(buffer_).substr(start))) {
        buffer_.resize(start);
        for (std::string_view utf8 : parts) AppendUtf8AsCp1252(utf8, buffer_, unmappable_);
    }
    buffer_ += "\r\n";
    if (buffer_.size() >= kFlushSize) flush();
}

void TextFileWriter::flush() {
    file_.write(buffer_);
    buffer_.clear();
}

bool TextFileWriter::commit() {
    flush();
    return file_.commit();
}

}  // namespace pel::eb
