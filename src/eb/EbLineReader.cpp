#include "eb/EbLineReader.h"

#include <sys/stat.h>

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/Cp1252.h"

namespace pel::eb {

namespace {
constexpr std::size_t kBufferSize = 1 << 20;
static_assert(kBufferSize % 64 == 0, "line ends are looked for in blocks of 64 bytes");
// A seek mostly reads one block, and the blocks read by offset tend to lie near each other (a
// file edited in runs, in either direction): a seek outside the buffer reads a small window
// around its offset, and later fills grow from there, so a walk by offsets neither reads a
// whole buffer per block nor asks the system for every block.
constexpr std::size_t kSeekWindow = 64 * 1024;
constexpr std::uint64_t kSeekBehind = 32 * 1024;
// Bit i set where the i-th of the 64 bytes at `data` is a CR or an LF: one look at a block finds
// the ends of all its lines, most of which are short.
std::uint64_t LineEndMask(const char* data) {
    std::uint64_t mask = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
    for (int k = 0; k < 4; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * k));
        const int hits =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)));
        mask |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(hits)) << (16 * k);
    }
#else
    for (int i = 0; i < 64; ++i)
        if (data[i] == '\n' || data[i] == '\r') mask |= std::uint64_t{1} << i;
#endif
    return mask;
}

}  // namespace

EbLineReader::~EbLineReader() {
    close();
}

bool EbLineReader::open(const std::string& path) {
    close();
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error_ = path + " is a folder, not a file";
        failed_ = true;
        return false;
    }
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) {
        error_ = "Cannot open " + path + ": " + std::strerror(errno);
        failed_ = true;
        return false;
    }
    fileSize_ = static_cast<std::uint64_t>(info.st_size);
    buffer_.resize(kBufferSize);
    fillSize_ = kBufferSize;
    begin_ = end_ = 0;
    atEof_ = pendingCr_ = failed_ = false;
    lastLineEnded_ = true;
    lineNumber_ = consumed_ = 0;
    long_.clear();
    error_.clear();
    return true;
}

void EbLineReader::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool EbLineReader::fill() {
    if (atEof_ || !file_) return false;
    begin_ = 0;
    end_ = std::fread(buffer_.data(), 1, fillSize_, file_);
    fillSize_ = std::min(fillSize_ * 2, buffer_.size());
    maskValid_ = false;
    if (end_ == 0) {
        atEof_ = true;
        if (std::ferror(file_)) {
            failed_ = true;
            error_ = std::string("Cannot read the file: ") + std::strerror(errno);
        }
        return false;
    }
    // Most files are plain ASCII: then no line of this buffer needs decoding.
    bufferHasHigh_ = !IsAscii(std::string_view(buffer_.data(), end_));
    return true;
}

bool EbLineReader::seek(std::uint64_t offset) {
    if (!file_) return false;
    const std::uint64_t bufferStart = consumed_ - begin_;
    pendingCr_ = false;
    maskValid_ = false;
    if (offset >= bufferStart && offset < bufferStart + end_) {
        begin_ = static_cast<std::size_t>(offset - bufferStart);
        consumed_ = offset;
        return true;
    }
    const std::uint64_t start = offset > kSeekBehind ? offset - kSeekBehind : 0;
    if (std::fseek(file_, static_cast<long>(start), SEEK_SET) != 0) {
        failed_ = true;
        error_ = std::string("Cannot read the file: ") + std::strerror(errno);
        return false;
    }
    begin_ = end_ = 0;
    atEof_ = false;
    fillSize_ = kSeekWindow;
    consumed_ = offset;
    if (!fill()) return !failed_;  // at the end of the file: nothing more to read
    begin_ = static_cast<std::size_t>(std::min<std::uint64_t>(offset - start, end_));
    return true;
}

// The next CR or LF at or after begin_, or end_. The buffer is looked at in blocks of 64 bytes
// (its size is a multiple of 64, so a block never reaches past it; bytes past end_ are not
// counted), and the block holding begin_ is kept for the lines after it.
std::size_t EbLineReader::nextLineEnd() {
    for (std::size_t block = begin_ & ~std::size_t{63}; block < end_; block += 64) {
        if (!maskValid_ || maskBlock_ != block) {
            mask_ = LineEndMask(buffer_.data() + block);
            if (end_ - block < 64) mask_ &= (std::uint64_t{1} << (end_ - block)) - 1;
            maskBlock_ = block;
            maskValid_ = true;
        }
        const std::uint64_t ahead =
            block < begin_ ? mask_ & (~std::uint64_t{0} << (begin_ - block)) : mask_;
        if (ahead) return block + static_cast<std::size_t>(std::countr_zero(ahead));
    }
    return end_;
}

bool EbLineReader::next(std::string_view& line) {
    if (!file_) return false;
    long_.clear();
    bool inLong = false;
    bool high = false;
    for (;;) {
        if (begin_ == end_ && !fill()) {
            if (!inLong) return false;  // nothing left: no further line
            break;                      // the last line lacks its end
        }
        if (pendingCr_) {
            pendingCr_ = false;
            if (buffer_[begin_] == '\n') {
                ++begin_;
                ++consumed_;
                continue;
            }
        }
        const char* data = buffer_.data();
        const std::size_t i = nextLineEnd();
        high = high || bufferHasHigh_;
        if (i == end_) {  // no line end in what the buffer holds: keep it and read on
            long_.append(data + begin_, end_ - begin_);
            consumed_ += end_ - begin_;
            begin_ = end_;
            inLong = true;
            continue;
        }
        std::string_view piece(data + begin_, i - begin_);
        std::size_t used = i - begin_ + 1;
        if (data[i] == '\r') {
            if (i + 1 < end_) {
                if (data[i + 1] == '\n') ++used;
            } else {
                pendingCr_ = true;
            }
        }
        begin_ += used;
        consumed_ += used;
        lastLineEnded_ = true;
        if (inLong) {
            long_.append(piece);
            line = long_;
        } else {
            line = piece;
        }
        return finishLine(line, high);
    }
    lastLineEnded_ = false;
    line = long_;
    return finishLine(line, high);
}

bool EbLineReader::finishLine(std::string_view& line, bool mayHaveHigh) {
    ++lineNumber_;
    if (mayHaveHigh && !IsAscii(line)) {  // only lines with bytes from 0x80 up need decoding
        decoded_.clear();
        AppendCp1252AsUtf8(line, decoded_);
        line = decoded_;
    }
    return true;
}

}  // namespace pel::eb
