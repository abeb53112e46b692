#pragma once
// libmdb reads every page through a stdio stream: a seek to the end and a tell (to check the
// page lies inside the file), a seek and a read, four system calls a page; and a walk over a
// table reads the table's usage map page again before each data page. The stream set here
// answers the seeks from the size it took once and each read with one pread, and keeps the
// pages read last, so that the map page is read once. Pages read in file order come a run of
// 32 KB at a time.

#include <string>

#include "db/access/AccessLibrary.h"

namespace pel::db {

// Gives the open handle this stream in place of its own, which is closed; libmdb closes the new
// one with the handle. Leaves the handle as it was when the file cannot be opened again.
void UseAccessPageStream(MdbHandle* mdb, const std::string& path);

}  // namespace pel::db
