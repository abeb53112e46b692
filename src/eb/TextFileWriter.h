#pragma once
// Writes text files line by line in code page 1252, every line ended by CR LF, replacing any
// existing file. Buffered; errors are kept and reported by close().

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace pel::eb {

class TextFileWriter {
  public:
    TextFileWriter() = default;
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    // Creates or truncates the file. False when it cannot (errorText() says why).
    bool open(const std::string& path);
    // One line (UTF-8), ended by CR LF.
    void writeLine(std::string_view utf8);
    // Flushes and closes; false when anything failed since open.
    bool close();
    bool isOpen() const { return file_ != nullptr; }
    bool failed() const { return failed_; }
    const std::string& errorText() const { return error_; }
    // Characters that 1252 cannot hold, written as "?".
    std::size_t unmappable() const { return unmappable_; }
    const std::string& path() const { return path_; }

  private:
    void flush();

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string buffer_;
    std::size_t unmappable_ = 0;
    bool failed_ = false;
    std::string error_;
};

}  // namespace pel::eb
