#include "db/access/AccessText.h"

#include "core/Cp1252.h"

namespace pel::db {

namespace {

using eb::AppendUtf8;

constexpr char32_t kReplacement = 0xFFFD;

// Code units one at a time, pairing surrogates.
class Utf16Decoder {
  public:
    explicit Utf16Decoder(std::string& out) : out_(out) {}
    ~Utf16Decoder() { flushHigh(); }
    Utf16Decoder(const Utf16Decoder&) = delete;
    Utf16Decoder& operator=(const Utf16Decoder&) = delete;

    void unit(char16_t u) {
        if (u < 0x80) {
            flushHigh();
            out_.push_back(static_cast<char>(u));
            return;
        }
        if (u >= 0xDC00 && u <= 0xDFFF) {
            if (high_) {
                AppendUtf8(0x10000 + ((static_cast<char32_t>(high_) - 0xD800) << 10) + (u - 0xDC00),
                           out_);
                high_ = 0;
            } else {
                AppendUtf8(kReplacement, out_);
            }
            return;
        }
        flushHigh();
        if (u >= 0xD800 && u <= 0xDBFF)
            high_ = u;
        else
            AppendUtf8(u, out_);
    }

    // Characters below 0x80, which are their own UTF-8 form.
    void ascii(std::string_view run) {
        flushHigh();
        out_.append(run);
    }

  private:
    void flushHigh() {
        if (high_) AppendUtf8(kReplacement, out_);
        high_ = 0;
    }

    std::string& out_;
    char16_t high_ = 0;
};

char16_t UnitAt(std::string_view s, std::size_t i) {
    return static_cast<char16_t>(static_cast<unsigned char>(s[i]) |
                                 (static_cast<unsigned char>(s[i + 1]) << 8));
}

}  // namespace

void AppendAccessText(AccessTextForm form, std::string_view stored, std::string& out) {
    if (form == AccessTextForm::Jet3Cp1252) {
        eb::AppendCp1252AsUtf8(stored, out);
        return;
    }
    Utf16Decoder decoder(out);
    const bool compressed = stored.size() >= 2 && static_cast<unsigned char>(stored[0]) == 0xFF &&
                            static_cast<unsigned char>(stored[1]) == 0xFE;
    if (!compressed) {
        for (std::size_t i = 0; i + 1 < stored.size(); i += 2) decoder.unit(UnitAt(stored, i));
        return;
    }
    bool oneByte = true;
    for (std::size_t i = 2; i < stored.size();) {
        if (stored[i] == 0) {
            oneByte = !oneByte;
            ++i;
        } else if (oneByte) {
            // Names and descriptions are mostly ASCII: a run of it goes over in one piece.
            std::size_t end = i;
            while (end < stored.size() && static_cast<unsigned char>(stored[end]) - 1u < 0x7Fu)
                ++end;
            if (end > i) {
                decoder.ascii(stored.substr(i, end - i));
                i = end;
            } else {
                decoder.unit(static_cast<unsigned char>(stored[i]));
                ++i;
            }
        } else if (i + 1 < stored.size()) {
            decoder.unit(UnitAt(stored, i));
            i += 2;
        } else {
            break;
        }
    }
}

}  // namespace pel::db
