#include "brindlekit/ftp/FTPServerStore.h"

#include "platform/settings/Profile.h"
#include "platform/settings/SettingsStore.h"
#include "platform/ui/UIServices.h"

#include <utility>

namespace brindle {

namespace {

// "Error removing the item from the registry"
const char kCannotDeleteRecord[] = "从注册表移除项目错误";

const char* const kRecordValues[] = {"hostport", "initdir", "hostname", "username", "password", "usetls", "cafile"};

std::string RecordSection(const std::string& entryName)
{
    return std::string(CFTPServerStore::kListSection) + "\\" + entryName;
}

// A name made only of separators (or empty) names the list key itself.
bool NamesListKey(const std::string& entryName)
{
    return entryName.find_first_not_of("\\/") == std::string::npos;
}

} // namespace

CFTPServerStore::~CFTPServerStore() = default;

wxTreeItemId CFTPServerStore::AddServer(const std::string& entryName, const std::string& hostname,
                                        const std::string& username, const std::string& password,
                                        const std::string& initialDir, std::uint32_t port)
{
    return AddServer(std::make_unique<CFTPFolderServer>(entryName, hostname, username, password, initialDir, port));
}

wxTreeItemId CFTPServerStore::AddServer(std::unique_ptr<CFTPFolderServer> server)
{
    const CFTPFolderServer& record = *server;
    wxTreeItemId item = InsertServerItem(std::move(server));
    WriteRecord(record);
    return item;
}

int CFTPServerStore::ModifyServer(CFTPFolderServer* server, const std::string& entryName,
                                  const std::string& hostname, const std::string& username,
                                  const std::string& password, const std::string& initialDir, std::uint32_t port)
{
    CloseItem(wxTreeItemId());
    DeleteRecord(server->GetEntryName());
    server->SetParams(entryName, hostname, username, password, initialDir, port);
    WriteRecord(*server);
    SetEntryText(GetSelectedEntry(), entryName);
    return 1;
}

void CFTPServerStore::DeleteServer(const std::string& entryName)
{
    if (!DeleteRecord(entryName)) UIServices().MessageBox(kCannotDeleteRecord, MsgButtons::Ok, MsgIcon::None);
    RemoveItem(GetSelectedEntry());
}

void CFTPServerStore::RestoreSettings()
{
    const auto names = Profile::Store().EnumSubkeys(Profile::BaseKey() + "\\" + kListSection);
    for (const std::string& name : names) {
        if (name.size() > kMaxEntryName) break;
        AddServer(ReadRecord(name));
    }
}

std::unique_ptr<CFTPFolderServer> CFTPServerStore::ReadRecord(const std::string& entryName)
{
    const std::string section = RecordSection(entryName);
    const auto port = static_cast<std::uint32_t>(Profile::GetProfileInt(section, "hostport", 21));
    const std::string initialDir = Profile::GetProfileString(section, "initdir");
    const std::string hostname = Profile::GetProfileString(section, "hostname");
    const std::string username = Profile::GetProfileString(section, "username");
    const std::string password = Profile::GetProfileString(section, "password");
    auto server = std::make_unique<CFTPFolderServer>(entryName, hostname, username, password, initialDir, port);
    // Records from before TLS could be asked for are plain FTP.
    server->SetTls({Profile::GetProfileInt(section, "usetls", 0) != 0, Profile::GetProfileString(section, "cafile")});
    return server;
}

bool CFTPServerStore::HasRecord(const std::string& entryName)
{
    const std::string key = Profile::BaseKey() + "\\" + RecordSection(entryName);
    if (!NamesListKey(entryName)) return Profile::Store().KeyExists(key);
    // A record with an empty name lies on the list key itself.
    for (const char* value : kRecordValues)
        if (Profile::Store().GetValue(key, value)) return true;
    return false;
}

void CFTPServerStore::WriteRecord(const CFTPFolderServer& server)
{
    const std::string section = RecordSection(server.GetEntryName());
    Profile::WriteProfileInt(section, "hostport", static_cast<int>(server.GetPort()));
    Profile::WriteProfileString(section, "initdir", server.GetInitialDir());
    Profile::WriteProfileString(section, "hostname", server.GetHostname());
    Profile::WriteProfileString(section, "username", server.GetUsername());
    Profile::WriteProfileString(section, "password", server.GetPassword());
    Profile::WriteProfileInt(section, "usetls", server.GetTls().required ? 1 : 0);
    Profile::WriteProfileString(section, "cafile", server.GetTls().caFile);
}

bool CFTPServerStore::DeleteRecord(const std::string& entryName)
{
    const std::string section = RecordSection(entryName);
    if (!NamesListKey(entryName)) return Profile::DeleteProfileEntry(section, "");
    // A record with an empty name was written onto the list key itself: remove
    // its values, never the list key with every other record.
    bool deleted = false;
    for (const char* value : kRecordValues)
        if (Profile::DeleteProfileEntry(section, value)) deleted = true;
    return deleted;
}

} // namespace brindle
