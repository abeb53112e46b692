#pragma once
// A database value: Null, a whole number, a floating-point number or text (UTF-8).

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace pel::db {

class Value {
  public:
    enum class Kind { Null, Integer, Real, Text };

    Value() = default;
    static Value null() { return Value(); }
    static Value integer(std::int64_t i) {
        Value v;
        v.kind_ = Kind::Integer;
        v.integer_ = i;
        return v;
    }
    static Value real(double d) {
        Value v;
        v.kind_ = Kind::Real;
        v.real_ = d;
        return v;
    }
    static Value text(std::string s) {
        Value v;
        v.kind_ = Kind::Text;
        v.text_ = std::move(s);
        return v;
    }

    // Text in place of what the value held, in the storage it kept: a value assigned row after
    // row then allocates once (see reset()).
    void assignText(std::string_view s) {
        kind_ = Kind::Text;
        text_.assign(s);
    }
    // Null again, keeping the storage of its text for the next assignText().
    void reset() {
        kind_ = Kind::Null;
        integer_ = 0;
        real_ = 0;
        text_.clear();
    }

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }
    std::int64_t asInteger() const { return integer_; }
    double asReal() const { return real_; }
    const std::string& asText() const { return text_; }
    std::string takeText() && { return std::move(text_); }

    bool operator==(const Value& o) const {
        if (kind_ != o.kind_) return false;
        switch (kind_) {
            case Kind::Null:
                return true;
            case Kind::Integer:
                return integer_ == o.integer_;
            case Kind::Real:
                return real_ == o.real_;
            case Kind::Text:
                return text_ == o.text_;
        }
        return false;
    }

  private:
    Kind kind_ = Kind::Null;
    std::int64_t integer_ = 0;
    double real_ = 0;
    std::string text_;
};

// A value whose text lies in storage kept elsewhere, valid as long as that storage says.
struct ValueView {
    Value::Kind kind = Value::Kind::Null;
    std::int64_t integer = 0;
    double real = 0;
    std::string_view text;

    static ValueView of(const Value& v) {
        return {v.kind(), v.asInteger(), v.asReal(), v.asText()};
    }
};

}  // namespace pel::db
