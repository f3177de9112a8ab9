#pragma once

#include "platform/Export.h"

#include <string>

namespace brindle {

class SettingsStore;

// The application's profile functions: values under
// Software\<registry key>\<application name>\<section> of the settings store.
class BRINDLEKIT_API Profile {
public:
    static void SetRegistryKey(const std::string& registryKey, const std::string& appName);
    // "Software\<registry key>\<application name>".
    static std::string BaseKey();
    // The store in use; the user's store unless another was installed (tests).
    static SettingsStore& Store();
    static void SetStore(SettingsStore* store);

    static int GetProfileInt(const std::string& section, const std::string& entry, int defaultValue);
    static bool WriteProfileInt(const std::string& section, const std::string& entry, int value);
    static std::string GetProfileString(const std::string& section, const std::string& entry,
                                        const std::string& defaultValue = {});
    static bool WriteProfileString(const std::string& section, const std::string& entry, const std::string& value);
    // Removes one entry, or the whole section when entry is empty.
    static bool DeleteProfileEntry(const std::string& section, const std::string& entry);
};

} // namespace brindle
