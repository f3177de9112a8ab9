#pragma once

#include "app/settings/Settings.h"
#include "platform/settings/Profile.h"
#include "platform/settings/SettingsStore.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <memory>

// A private settings store and program folder for each test, on top of the
// base fixture's own set-up.
template <class Base> class BasicShellFixture : public Base {
protected:
    void SetUp() override
    {
        Base::SetUp();
        store = std::make_unique<brindle::SettingsStore>(dir / "settings");
        brindle::Profile::SetStore(store.get());
        brindle::Profile::SetRegistryKey("Brindle", "Brindle");
        programFolder = (dir / "prog").string() + "/";
        std::filesystem::create_directory(dir / "prog");
        Settings::SetProgramFolder(programFolder);
    }
    void TearDown() override
    {
        brindle::Profile::SetStore(nullptr);
        Settings::SetProgramFolder("");
        Base::TearDown();
    }

    std::string Stored(const std::string& entry)
    {
        return store->GetString("Software\\Brindle\\Brindle\\Settings", entry).value_or("<missing>");
    }

    brindle::test::TempDir dir;
    std::unique_ptr<brindle::SettingsStore> store;
    std::string programFolder;
};

using ShellFixture = BasicShellFixture<::testing::Test>;
