#pragma once
// Making a new database file without ever harming another: it is built under a fresh name
// beside the destination and published at the end, never over a file that took the name
// meanwhile; a failure removes what was built.

#include <string>

namespace pel::db {

// A fresh, unused name beside `dest` (same folder, so publishing stays on one file system).
std::string TemporaryPathBeside(const std::string& dest);
// Removes a database file and its journal files.
void RemoveDatabaseFiles(const std::string& path);
// Removes what a killed earlier run left beside `dest`: files named `dest` + ".part-" and six
// characters (and their journals) that no running build holds (see PartInProgress). Nothing else.
void RemoveStaleParts(const std::string& dest);

// Marks a part as being built while it lives (an advisory lock on the file), so that another
// run's RemoveStaleParts leaves it alone.
class PartInProgress {
  public:
    explicit PartInProgress(const std::string& part);
    ~PartInProgress();
    PartInProgress(const PartInProgress&) = delete;
    PartInProgress& operator=(const PartInProgress&) = delete;

    // Has the disk start writing what the part holds so far, so that the sync at the end finds
    // little left to do (the sync alone still decides that the file is whole).
    void startWriteBack() const;

  private:
    int fd_ = -1;
};
// Gives `temp` the name `dest` and syncs the folder; throws DbError when `dest` exists.
void Publish(const std::string& temp, const std::string& dest);

}  // namespace pel::db
