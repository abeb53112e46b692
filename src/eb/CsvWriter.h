#pragma once
// CSV files as spreadsheets and scripts read them: UTF-8, a header row, CR LF line ends, and
// RFC 4180 quoting (a field holding a comma, a double quote, CR or LF is enclosed in double
// quotes, its double quotes doubled; line breaks stay whole inside the quotes).

#include <string>
#include <string_view>
#include <vector>

#include "eb/TextFileWriter.h"

namespace pel::eb {

// One field as RFC 4180 writes it.
std::string CsvField(std::string_view text);

class CsvWriter {
  public:
    // Creates or truncates the file and writes the header row. False when it cannot.
    bool open(const std::string& path, const std::vector<std::string_view>& header);
    void writeRow(const std::vector<std::string_view>& fields);
    // Puts the file in place when whole; false when anything failed since open.
    bool commit() { return out_.commit(); }
    const std::string& errorText() const { return out_.errorText(); }

  private:
    TextFileWriter out_;
    std::string line_;
};

}  // namespace pel::eb
