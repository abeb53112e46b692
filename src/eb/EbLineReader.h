#pragma once
// Streaming reader of a text file in code page 1252: one line at a time, whatever the file's
// size. Accepts CR LF, a lone CR and a lone LF; the last line may lack its end. Lines come back
// as UTF-8.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace pel::eb {

class EbLineReader {
  public:
    EbLineReader() = default;
    ~EbLineReader();
    EbLineReader(const EbLineReader&) = delete;
    EbLineReader& operator=(const EbLineReader&) = delete;

    // False when the file cannot be opened (errorText() says why).
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return file_ != nullptr; }

    // The next line, UTF-8, without its line end; valid until the next call. False at the end
    // of the file (or on a read error: failed() then says so).
    bool next(std::string_view& line);

    // Goes on reading at a byte offset of the file (the start of a line that bytesConsumed()
    // gave before it was read). Line numbers are not known after a seek. False on failure.
    bool seek(std::uint64_t offset);

    std::uint64_t lineNumber() const { return lineNumber_; }
    std::uint64_t bytesConsumed() const { return consumed_; }
    std::uint64_t fileSize() const { return fileSize_; }
    double fraction() const { return fileSize_ ? double(consumed_) / double(fileSize_) : 1.0; }
    bool failed() const { return failed_; }
    // False when the last line read came without its line end (the file's last line).
    bool lastLineEnded() const { return lastLineEnded_; }
    const std::string& errorText() const { return error_; }

  private:
    bool fill();
    bool finishLine(std::string_view& line, bool mayHaveHigh);
    std::size_t nextLineEnd();

    std::FILE* file_ = nullptr;
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    std::size_t fillSize_ = 0;  // how much the next fill reads: small after a seek
    bool atEof_ = false;
    bool pendingCr_ = false;  // the last line ended in CR at a buffer edge: skip a following LF
    bool bufferHasHigh_ = false;
    std::uint64_t mask_ = 0;  // the line ends in the block at maskBlock_
    std::size_t maskBlock_ = 0;
    bool maskValid_ = false;
    std::string long_;  // a line longer than what the buffer holds at once
    std::string decoded_;
    std::uint64_t lineNumber_ = 0;
    std::uint64_t consumed_ = 0;
    std::uint64_t fileSize_ = 0;
    bool failed_ = false;
    bool lastLineEnded_ = true;
    std::string error_;
};

}  // namespace pel::eb
