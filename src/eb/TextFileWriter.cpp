#include "eb/TextFileWriter.h"

namespace pel::eb {

namespace {
char* Append(char* at, std::string_view bytes) {
    if (!bytes.empty()) std::memcpy(at, bytes.data(), bytes.size());
    return at + bytes.size();
}
}  // namespace

bool TextFileWriter::open(const std::string& path, TextEncoding encoding) {
    utf8_ = encoding == TextEncoding::Utf8;
    unmappable_ = 0;
    used_ = 0;
    if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    return file_.open(path);
}

void TextFileWriter::appendAfterFlush(std::initializer_list<std::string_view> parts, bool asIs) {
    if (!file_.isOpen()) return;
    flush();
    std::size_t size = 2;
    for (std::string_view part : parts) size += part.size();
    if (size > kBufferSize) return appendMade(parts, asIs);
    appendLine(parts, asIs);
}

void TextFileWriter::appendMade(std::initializer_list<std::string_view> parts, bool asIs) {
    line_.clear();
    for (std::string_view part : parts) {
        if (asIs)
            line_ += part;
        else
            AppendUtf8AsCp1252(part, line_, unmappable_);
    }
    line_ += "\r\n";
    // Made, a line is no longer than its parts: it fits where they did, or the buffer is empty.
    if (line_.size() > kBufferSize - used_) return file_.write(line_);
    Append(buffer_.get() + used_, line_);
    used_ += line_.size();
}

void TextFileWriter::flush() {
    if (used_ > 0) file_.write({buffer_.get(), used_});
    used_ = 0;
}

bool TextFileWriter::commit() {
    flush();
    return file_.commit();
}

}  // namespace pel::eb
