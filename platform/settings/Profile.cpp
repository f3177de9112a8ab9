#include "platform/settings/Profile.h"

#include "platform/settings/SettingsStore.h"

namespace brindle {

namespace {
std::string g_baseKey = "Software\\Brindle\\Brindle";
SettingsStore* g_store = nullptr;

std::string SectionKey(const std::string& section) { return Profile::BaseKey() + "\\" + section; }
} // namespace

void Profile::SetRegistryKey(const std::string& registryKey, const std::string& appName)
{
    g_baseKey = "Software\\" + registryKey + "\\" + appName;
}

std::string Profile::BaseKey() { return g_baseKey; }

SettingsStore& Profile::Store() { return g_store ? *g_store : SettingsStore::User(); }

void Profile::SetStore(SettingsStore* store) { g_store = store; }

int Profile::GetProfileInt(const std::string& section, const std::string& entry, int defaultValue)
{
    return Store().GetInt(SectionKey(section), entry).value_or(defaultValue);
}

bool Profile::WriteProfileInt(const std::string& section, const std::string& entry, int value)
{
    return Store().SetInt(SectionKey(section), entry, value);
}

std::string Profile::GetProfileString(const std::string& section, const std::string& entry,
                                      const std::string& defaultValue)
{
    return Store().GetString(SectionKey(section), entry).value_or(defaultValue);
}

bool Profile::WriteProfileString(const std::string& section, const std::string& entry, const std::string& value)
{
    return Store().SetString(SectionKey(section), entry, value);
}

bool Profile::DeleteProfileEntry(const std::string& section, const std::string& entry)
{
    if (entry.empty()) return Store().DeleteKey(SectionKey(section));
    return Store().DeleteValue(SectionKey(section), entry);
}

} // namespace brindle
