#pragma once
// Writes text files line by line in code page 1252 (or UTF-8, for CSV), every line ended by
// CR LF. The file is built beside its destination and replaces it only at commit() (see
// OutputFile).

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

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
    void writeLineOf(std::initializer_list<std::string_view> parts);
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
    void flush();

    OutputFile file_;
    std::string buffer_;
    std::size_t unmappable_ = 0;
    bool utf8_ = false;
};

}  // namespace pel::eb
