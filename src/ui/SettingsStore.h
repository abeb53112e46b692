#pragma once
// Per-user settings: named text values in the section "Properties" of the application
// "Pelorin Conversion Utility", each read with a default.

#include <map>
#include <string>
#include <string_view>

namespace pel {

inline constexpr std::string_view kSettingsApplication = "Pelorin Conversion Utility";
inline constexpr std::string_view kSettingsSection = "Properties";
// The window's own place, size and last tab: outside "Properties", which keeps what it always held.
inline constexpr std::string_view kWindowSection = "Window";

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::string read(std::string_view key, std::string_view defaultValue) = 0;
    virtual void write(std::string_view key, std::string_view value) = 0;
    virtual std::string readWindow(std::string_view key, std::string_view defaultValue) = 0;
    virtual void writeWindow(std::string_view key, std::string_view value) = 0;
};

// For tests and the command line: kept in memory only.
class MemorySettingsStore : public SettingsStore {
  public:
    std::string read(std::string_view key, std::string_view defaultValue) override {
        auto it = values_.find(std::string(key));
        return it == values_.end() ? std::string(defaultValue) : it->second;
    }
    void write(std::string_view key, std::string_view value) override {
        values_[std::string(key)] = std::string(value);
        ++writes_;
    }
    std::string readWindow(std::string_view key, std::string_view defaultValue) override {
        auto it = window_.find(std::string(key));
        return it == window_.end() ? std::string(defaultValue) : it->second;
    }
    void writeWindow(std::string_view key, std::string_view value) override {
        window_[std::string(key)] = std::string(value);
    }
    const std::map<std::string, std::string>& values() const { return values_; }
    int writes() const { return writes_; }

  private:
    std::map<std::string, std::string> values_, window_;
    int writes_ = 0;
};

}  // namespace pel
