#pragma once
// Every output file (EB files, reports) is built under a fresh name beside its destination,
// synced, and renamed over the destination only when it is whole: a killed run, or one whose
// write or sync failed, leaves the previous file as it was.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Feedback.h"

namespace pel::eb {

// An input of a run, named for a message ("the database", "the EB file").
struct RunInput {
    std::string_view role;
    std::string_view path;
};

// Empty when `output` may be written; otherwise the message refusing it: an existing output
// that is not a regular file (a device, a folder, a FIFO), or one that is the same file
// (device and inode) as an input of the run.
std::string OutputRefusal(const std::string& output, const std::vector<RunInput>& inputs = {});
// The same test for a run: true (after a critical message titled `title`) when refused.
bool OutputRefused(Feedback& feedback, std::string_view title, const std::string& output,
                   const std::vector<RunInput>& inputs);

class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile() { discard(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file beside `path` (refusing an output that is not a regular file).
    // False when it cannot; errorText() says why.
    bool open(const std::string& path);
    // Appends bytes; a failure is kept for commit().
    void write(std::string_view bytes);
    // Flushes, syncs and renames the temporary file over the destination, then syncs the
    // folder. False when anything failed since open: the temporary file is then removed and
    // the destination left as it was.
    bool commit();
    // Removes the temporary file; the destination stays as it was.
    void discard();

    bool isOpen() const { return fd_ >= 0; }
    bool failed() const { return !error_.empty(); }
    const std::string& errorText() const { return error_; }
    const std::string& path() const { return path_; }

  private:
    void fail(const char* what);
    void startWriteBack();

    int fd_ = -1;
    std::string path_;    // the destination as given (for messages)
    std::string target_;  // the file that is replaced: the destination, or where its link points
    std::string temp_;
    std::string error_;
    bool existed_ = false;
    std::uint64_t written_ = 0;         // bytes written since open
    std::uint64_t writeBackStart_ = 0;  // the first byte the disk was not yet asked to write
};

}  // namespace pel::eb
