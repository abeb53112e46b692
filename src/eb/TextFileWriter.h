#pragma once
// Writes text files line by line in code page 1252 (or UTF-8, for CSV), every line ended by
// CR LF. The file is built beside its destination and replaces it only at commit() (see
// OutputFile).

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "core/Cp1252.h"
#include "eb/OutputFile.h"

namespace pel::eb {

enum class TextEncoding { Cp1252, Utf8 };

class TextFileWriter {
  public:
    TextFileWriter() = default;
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    // Starts a new file for `path`. False when it cannot (errorText() says why).
    bool open(const std::string& path, TextEncoding encoding = TextEncoding::Cp1252);
    // One line (UTF-8), ended by CR LF.
    void writeLine(std::string_view utf8) { writeLineOf({utf8}); }
    // One line made of `parts` (each whole UTF-8), ended by CR LF: no copy of the line first.
    void writeLineOf(std::initializer_list<std::string_view> parts) { appendLine(parts, utf8_); }
    // The same for parts the caller has found to be ASCII: they are copied without a test.
    void writeAsciiLineOf(std::initializer_list<std::string_view> parts) {
        appendLine(parts, true);
    }
    // Writes out, syncs and puts the file in place; false when anything failed since open (the
    // destination is then left as it was).
    bool commit();
    // Drops what was written; the destination stays as it was.
    void discard() { file_.discard(); }
    bool isOpen() const { return file_.isOpen(); }
    bool failed() const { return file_.failed(); }
    const std::string& errorText() const { return file_.errorText(); }
    // Characters that 1252 cannot hold, written as "?".
    std::size_t unmappable() const { return unmappable_; }
    const std::string& path() const { return file_.path(); }

  private:
    // Written out when full; small enough to stay in the processor's cache.
    static constexpr std::size_t kBufferSize = 256 << 10;

    // `asIs`: the parts go into the file as they are, else in code page 1252. Inline, so that
    // the copies of a line's few parts are unrolled where the line is written.
    void appendLine(std::initializer_list<std::string_view> parts, bool asIs) {
        std::size_t size = 2;
        for (std::string_view part : parts) size += part.size();
        if (size > kBufferSize - used_ || !buffer_) return appendAfterFlush(parts, asIs);
        // Almost every line is ASCII: it is copied as it is and tested once, whole; only a line
        // that is not is made again, converted.
        char* const start = buffer_.get() + used_;
        char* at = start;
        for (std::string_view part : parts) {
            if (!part.empty()) std::memcpy(at, part.data(), part.size());
            at += part.size();
        }
        if (!asIs && !IsAscii({start, static_cast<std::size_t>(at - start)}))
            return appendMade(parts, asIs);
        at[0] = '\r';
        at[1] = '\n';
        used_ += size;
    }
    // A line that does not fit what is left of the buffer.
    void appendAfterFlush(std::initializer_list<std::string_view> parts, bool asIs);
    // A line that is not ASCII or does not fit the buffer, made in line_ first.
    void appendMade(std::initializer_list<std::string_view> parts, bool asIs);
    void flush();

    OutputFile file_;
    std::unique_ptr<char[]> buffer_;  // filled up to used_, then written out
    std::size_t used_ = 0;
    std::string line_;
    std::size_t unmappable_ = 0;
    bool utf8_ = false;
};

}  // namespace pel::eb
