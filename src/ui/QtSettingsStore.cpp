#include "ui/QtSettingsStore.h"

namespace pel {

namespace {
QString ToQString(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(QSettings::UserScope, ToQString(kSettingsApplication),
                ToQString(kSettingsApplication)) {}

std::string QtSettingsStore::read(std::string_view key, std::string_view defaultValue) {
    return readIn(kSettingsSection, key, defaultValue);
}

void QtSettingsStore::write(std::string_view key, std::string_view value) {
    writeIn(kSettingsSection, key, value);
}

std::string QtSettingsStore::readWindow(std::string_view key, std::string_view defaultValue) {
    return readIn(kWindowSection, key, defaultValue);
}

void QtSettingsStore::writeWindow(std::string_view key, std::string_view value) {
    writeIn(kWindowSection, key, value);
}

std::string QtSettingsStore::readIn(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) {
    const QString full = ToQString(section) + "/" + ToQString(key);
    if (!settings_.contains(full)) return std::string(defaultValue);
    return settings_.value(full).toString().toStdString();
}

void QtSettingsStore::writeIn(std::string_view section, std::string_view key,
                              std::string_view value) {
    // Values are stored unchanged and at once: a later crash keeps the confirmed choice.
    settings_.setValue(ToQString(section) + "/" + ToQString(key), ToQString(value));
    settings_.sync();
}

}  // namespace pel
