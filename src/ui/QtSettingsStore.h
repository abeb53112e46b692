#pragma once
// The window's settings: QSettings, application "Pelorin Conversion Utility", group "Properties".

#include <QSettings>

#include "ui/SettingsStore.h"

namespace pel {

class QtSettingsStore : public SettingsStore {
  public:
    QtSettingsStore();
    std::string read(std::string_view key, std::string_view defaultValue) override;
    void write(std::string_view key, std::string_view value) override;
    std::string readWindow(std::string_view key, std::string_view defaultValue) override;
    void writeWindow(std::string_view key, std::string_view value) override;

  private:
    std::string readIn(std::string_view section, std::string_view key,
                       std::string_view defaultValue);
    void writeIn(std::string_view section, std::string_view key, std::string_view value);
    QSettings settings_;
};

}  // namespace pel
