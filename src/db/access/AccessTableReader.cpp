#include "db/access/AccessTableReader.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "db/Numeric.h"
#include "db/TypeCodes.h"
#include "db/access/AccessDate.h"
#include "db/access/AccessText.h"

namespace pel::db {

namespace {

constexpr int kRowOffsetMask = 0x1FFF;
constexpr int kDeletedRow = 0x4000;
constexpr std::size_t kMostCellsAhead = std::size_t{1} << 22;  // 36 MB of cells
constexpr std::size_t kMostTextAhead = std::size_t{1} << 26;   // 64 MB of text
constexpr std::size_t kSampleRows = 256;
constexpr int kLongValueHeader = 12;  // length and flags, page and row, 4 bytes unused

struct TableDefDeleter {
    void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};
using TableDefPtr = std::unique_ptr<MdbTableDef, TableDefDeleter>;

struct AccessType {
    int code;
    const char* name;
};

AccessType TypeOf(int mdbType) {
    switch (mdbType) {
        case MDB_BOOL:
            return {kBoolean, "Yes/No"};
        case MDB_BYTE:
            return {kByte, "Byte"};
        case MDB_INT:
            return {kSmallInt, "Integer"};
        case MDB_LONGINT:
            return {kInteger, "Long Integer"};
        case MDB_FLOAT:
            return {kSingle, "Single"};
        case MDB_DOUBLE:
            return {kDouble, "Double"};
        case MDB_TEXT:
            return {kText, "Text"};
        case MDB_MEMO:
            return {kLongText, "Memo"};
        case MDB_MONEY:
            return {kText, "Currency"};
        case MDB_DATETIME:
            return {kText, "Date/Time"};
        case MDB_BINARY:
            return {kText, "Binary"};
        case MDB_OLE:
            return {kText, "OLE Object"};
        case MDB_REPID:
            return {kText, "Replication ID"};
        case MDB_NUMERIC:
            return {kText, "Decimal"};
        case MDB_COMPLEX:
            return {kText, "Attachment"};
        default:
            return {kText, "Unknown"};
    }
}

MdbColumn* ColumnAt(MdbTableDef* t, unsigned i) {
    return static_cast<MdbColumn*>(g_ptr_array_index(t->columns, i));
}

std::string Reason(QuietLibmdb& quiet, const char* fallback) {
    std::string said = FirstLibmdbLine(quiet.takeMessages());
    return said.empty() ? fallback : said;
}

// What a table of the file that cannot be read is refused with.
DbError TableDamaged(const AccessTableSource& source, const std::string& why) {
    return DbError(DbError::Kind::NotADatabase, "Cannot read the table " + source.table +
                                                    " of the Access database " + source.path +
                                                    ": " + why);
}

TableDefPtr ReadTableDef(const AccessTableSource& source, QuietLibmdb& quiet) {
    TableDefPtr t(source.entry ? mdb_read_table(source.entry) : nullptr);
    const char* damage = !t || !mdb_read_columns(t.get()) ? "its definition is damaged"
                         : !HasPageMap(*t)                ? "its page map is damaged"
                                                          : nullptr;
    if (damage) throw TableDamaged(source, Reason(quiet, damage));
    return t;
}

// libmdb names the index it misread: "can't find column with internal id N in index NAME".
bool Complained(const std::string& messages, const std::string& index) {
    const std::string marker = " in index " + index;
    for (std::size_t at = messages.find(marker); at != std::string::npos;
         at = messages.find(marker, at + 1)) {
        const std::size_t end = at + marker.size();
        if (end == messages.size() || messages[end] == '\n' || messages[end] == '\r') return true;
    }
    return false;
}

}  // namespace

TableInfo ReadAccessTableInfo(const AccessTableSource& source) {
    QuietLibmdb quiet;
    TableDefPtr t = ReadTableDef(source, quiet);
    TableInfo info;
    info.name = source.table;
    for (unsigned i = 0; i < t->num_cols; ++i) {
        const MdbColumn* col = ColumnAt(t.get(), i);
        const AccessType type = TypeOf(col->col_type);
        info.columns.push_back({col->name, type.code, type.name});
    }
    // Access gives a table at most 32 indexes. libmdb makes an entry for every index the
    // definition counts before it reads any, so a damaged count would take all memory.
    constexpr unsigned kMostIndexes = 256;
    if (t->num_idxs > kMostIndexes || t->num_real_idxs > kMostIndexes)
        throw TableDamaged(source, "its index definitions are damaged");
    quiet.takeMessages();
    mdb_read_indices(t.get());
    const std::string complaints = quiet.takeMessages();
    for (unsigned i = 0; t->indices && i < t->indices->len; ++i) {
        const auto* idx = static_cast<const MdbIndex*>(g_ptr_array_index(t->indices, i));
        IndexInfo index;
        index.name = idx->name;
        index.unique = (idx->flags & MDB_IDX_UNIQUE) != 0 || idx->index_type == 1;
        for (unsigned k = 0; k < idx->num_keys && k < MDB_MAX_IDX_COLS; ++k) {
            const int column = idx->key_col_num[k] - 1;  // libmdb counts from 1
            if (column < 0 || column >= static_cast<int>(info.columns.size())) {
                index.readable = false;
                break;
            }
            index.columns.push_back(info.columns[static_cast<std::size_t>(column)].name);
        }
        if (index.columns.empty() || Complained(complaints, index.name)) {
            index.readable = false;
            index.columns.clear();
        }
        info.indexes.push_back(std::move(index));
    }
    std::stable_sort(info.indexes.begin(), info.indexes.end(),
                     [](const IndexInfo& a, const IndexInfo& b) { return a.name < b.name; });
    return info;
}

namespace {

std::uint16_t Le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint64_t Le64(const unsigned char* p) {
    return static_cast<std::uint64_t>(Le32(p)) | static_cast<std::uint64_t>(Le32(p + 4)) << 32;
}

// Reads the rows of one table; one instance per table read.
class RowReader {
  public:
    RowReader(const AccessTableSource& source, const TableInfo& info, QuietLibmdb& quiet)
        : source_(source),
          quiet_(quiet),
          table_(ReadTableDef(source, quiet)),
          mdb_(source.entry->mdb),
          rows_(info.columns.size()),
          form_(mdb_->f->jet_version == MDB_VER_JET3 ? AccessTextForm::Jet3Cp1252
                                                     : AccessTextForm::Utf16) {
        if (table_->num_cols != info.columns.size()) fail("its columns changed while it was open");
        fields_.resize(table_->num_cols);
        byColumn_.resize(table_->num_cols);
    }

    AccessRows read() {
        mdb_rewind_table(table_.get());
        // The table says how many rows it has; a damaged one may say too many, so what is
        // reserved ahead has a bound. Text is reserved from the first rows' average.
        const std::size_t expected = std::min<std::size_t>(
            table_->num_rows, kMostCellsAhead / std::max<std::size_t>(1, rows_.columnCount()));
        rows_.reserve(expected, 0);
        // Page by page as libmdb's own walk goes, but each row cracked once, here.
        while (mdb_read_next_dpg(table_.get())) {
            const unsigned onPage = Le16(mdb_->pg_buf + mdb_->fmt->row_count_offset);
            for (unsigned row = 0; row < onPage; ++row) {
                if (!readRow(row)) continue;
                if (rows_.rowCount() == kSampleRows && expected > kSampleRows)
                    rows_.reserve(expected, std::min(kMostTextAhead,
                                                     rows_.textBytes() / kSampleRows * expected));
            }
        }
        const std::string said = quiet_.takeMessages();
        if (quiet_.overflowed() || LibmdbMetDamage(said))
            throw TableDamaged(source_,
                               "the file is damaged or cut short (" + FirstLibmdbLine(said) + ")");
        // Pages that lie beyond the end of a cut file are skipped without a word.
        if (rows_.rowCount() < table_->num_rows)
            fail("the file is damaged or cut short (" + std::to_string(rows_.rowCount()) + " of " +
                 std::to_string(table_->num_rows) + " rows could be read)");
        return std::move(rows_);
    }

  private:
    [[noreturn]] void fail(const std::string& what) {
        std::string said = FirstLibmdbLine(quiet_.takeMessages());
        throw TableDamaged(source_, what + (said.empty() ? "" : " (" + said + ")"));
    }

    // A row of the page in pg_buf; false for one that libmdb's walk skips too: deleted, or
    // not to be placed or cracked (the count of rows read then falls short).
    bool readRow(unsigned row) {
        int start = 0;
        std::size_t size = 0;
        if (mdb_find_row(mdb_, static_cast<int>(row), &start, &size) != 0 || size == 0 ||
            (start & kDeletedRow) != 0)
            return false;
        start &= kRowOffsetMask;
        // Fewer cracked columns than the table has: the row predates the later columns, which
        // libmdb then gives as Null.
        if (mdb_crack_row(table_.get(), start, size, fields_.data()) < 0) return false;
        std::fill(byColumn_.begin(), byColumn_.end(), nullptr);
        for (const MdbField& f : fields_)
            if (f.colnum >= 0 && static_cast<unsigned>(f.colnum) < byColumn_.size())
                byColumn_[static_cast<std::size_t>(f.colnum)] = &f;
        for (unsigned i = 0; i < table_->num_cols; ++i) {
            if (!byColumn_[i]) fail("a row lacks a column");
            readField(ColumnAt(table_.get(), i), *byColumn_[i]);
        }
        return true;
    }

    const unsigned char* bytes(const MdbField& f, int need) {
        if (f.start < 0 || need < 0 || f.siz < need ||
            static_cast<long>(f.start) + need > static_cast<long>(mdb_->fmt->pg_size))
            fail("a value lies outside its page");
        return mdb_->pg_buf + f.start;
    }

    void readField(MdbColumn* col, const MdbField& f) {
        // Yes/No lives in the null mask itself: a set bit is True.
        if (col->col_type == MDB_BOOL) return rows_.addInteger(f.is_null ? 0 : 1);
        if (f.is_null) return rows_.addNull();
        switch (col->col_type) {
            case MDB_BYTE:
                return rows_.addInteger(*bytes(f, 1));
            case MDB_INT:
                return rows_.addInteger(static_cast<std::int16_t>(Le16(bytes(f, 2))));
            case MDB_LONGINT:
                return rows_.addInteger(static_cast<std::int32_t>(Le32(bytes(f, 4))));
            case MDB_COMPLEX:
                return rows_.addText(std::to_string(static_cast<std::int32_t>(Le32(bytes(f, 4)))));
            case MDB_FLOAT:
                return addNumber(col, static_cast<double>(std::bit_cast<float>(Le32(bytes(f, 4)))));
            case MDB_DOUBLE:
                return addNumber(col, std::bit_cast<double>(Le64(bytes(f, 8))));
            case MDB_TEXT: {
                const unsigned char* p = bytes(f, f.siz);
                return rows_.addTextWith([&](std::string& out) {
                    AppendAccessText(
                        form_, {reinterpret_cast<const char*>(p), static_cast<std::size_t>(f.siz)},
                        out);
                });
            }
            case MDB_MEMO: {
                const std::string stored = longValue(f);
                return rows_.addTextWith(
                    [&](std::string& out) { AppendAccessText(form_, stored, out); });
            }
            case MDB_OLE:
                return rows_.addText(Hex(longValue(f)));
            case MDB_BINARY: {
                const unsigned char* p = bytes(f, f.siz);
                return rows_.addText(
                    Hex({reinterpret_cast<const char*>(p), static_cast<std::size_t>(f.siz)}));
            }
            case MDB_DATETIME:
                return rows_.addText(AccessDateText(std::bit_cast<double>(Le64(bytes(f, 8)))));
            case MDB_MONEY:
                bytes(f, 8);
                return addLibmdbText(mdb_money_to_string(mdb_, f.start));
            case MDB_NUMERIC:
                bytes(f, 17);
                return addLibmdbText(
                    mdb_numeric_to_string(mdb_, f.start, col->col_scale, col->col_prec));
            case MDB_REPID:
                bytes(f, 16);
                return addLibmdbText(mdb_uuid_to_string(mdb_->pg_buf, f.start));
            default:
                return rows_.addNull();
        }
    }

    // NaN is no value any column or file of ours can keep: Null, and named.
    void addNumber(MdbColumn* col, double value) {
        if (!std::isnan(value)) return rows_.addReal(value);
        if (source_.notes)
            source_.notes->push_back("The table " + source_.table + " of " + source_.path +
                                     ", row " + std::to_string(rows_.rowCount() + 1) + ", column " +
                                     col->name +
                                     ": the value is not a number (NaN) and was read as Null");
        rows_.addNull();
    }

    void addLibmdbText(char* text) {
        rows_.addText(text ? std::string_view(text) : std::string_view());
        g_free(text);
    }

    // A memo or OLE value: kept in the row, on one other page, or on a chain of pages.
    std::string longValue(const MdbField& f) {
        const unsigned char* head = bytes(f, kLongValueHeader);
        const std::uint32_t lengthAndFlags = Le32(head);
        if (lengthAndFlags & 0x80000000u)
            return std::string(reinterpret_cast<const char*>(head) + kLongValueHeader,
                               static_cast<std::size_t>(f.siz - kLongValueHeader));
        std::uint32_t pageRow = Le32(head + 4);
        if (lengthAndFlags & 0x40000000u) {
            auto [p, n] = longValuePart(pageRow);
            return std::string(p, n);
        }
        if ((lengthAndFlags & 0xFF000000u) != 0) fail("a memo is stored in a way not understood");
        const std::uint32_t length = lengthAndFlags;
        std::string out;
        out.reserve(length);
        // Each part starts with the page and row of the next one; the chain ends with zero.
        for (std::uint32_t hops = 0; pageRow != 0; ++hops) {
            if (hops > length) fail("a memo's pages form a loop");
            auto [p, n] = longValuePart(pageRow);
            if (n < 4) break;
            if (out.size() + (n - 4) > length) fail("a memo is longer than it says");
            pageRow = Le32(reinterpret_cast<const unsigned char*>(p));
            out.append(p + 4, n - 4);
        }
        if (out.size() != length) fail("a memo is shorter than it says");
        return out;
    }

    // The bytes of one row of another page; valid until the next call. The row's own page
    // stays in pg_buf.
    std::pair<const char*, std::size_t> longValuePart(std::uint32_t pageRow) {
        void* buf = nullptr;
        int offset = 0;
        std::size_t length = 0;
        if (mdb_find_pg_row(mdb_, static_cast<int>(pageRow), &buf, &offset, &length) != 0 || !buf ||
            offset < 0 ||
            static_cast<long>(offset) + static_cast<long>(length) > mdb_->fmt->pg_size)
            fail("a memo's page cannot be read");
        return {static_cast<const char*>(buf) + offset, length};
    }

    static std::string Hex(std::string_view bytes) {
        static const char digits[] = "0123456789ABCDEF";
        std::string out;
        out.reserve(bytes.size() * 2);
        for (unsigned char c : bytes) {
            out += digits[c >> 4];
            out += digits[c & 0xF];
        }
        return out;
    }

    const AccessTableSource& source_;
    QuietLibmdb& quiet_;
    TableDefPtr table_;
    MdbHandle* mdb_;
    AccessRows rows_;
    AccessTextForm form_;
    std::vector<MdbField> fields_;
    std::vector<const MdbField*> byColumn_;
};

}  // namespace

AccessRows ReadAccessRows(const AccessTableSource& source, const TableInfo& info) {
    QuietLibmdb quiet;
    RowReader reader(source, info, quiet);
    return reader.read();
}

}  // namespace pel::db
