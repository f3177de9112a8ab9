#include "app/explorer/RemoteFileFields.h"

#include "app/explorer/RemoteBrowser.h"
#include "brindlekit/ftp/FTPFileFind.h"
#include "platform/net/FtpClient.h"
#include "platform/net/FtpNames.h"

#include <cstdio>

using namespace brindle;

std::string RemoteFileSizeText(std::uint64_t bytes)
{
    char text[96];
    std::snprintf(text, sizeof text, "%0.2f KB (%llu bytes)", static_cast<double>(bytes) / 1000.0,
                  static_cast<unsigned long long>(bytes));
    return text;
}

std::string LocalTimeText(std::time_t when, const char* format)
{
    if (when == 0) return {};
    std::tm local{};
    // A time beyond what the calendar functions take is left out rather than
    // shown as a made-up date.
    if (!localtime_r(&when, &local)) return {};
    char text[128];
    return std::strftime(text, sizeof text, format, &local) ? std::string(text) : std::string();
}

std::string RemoteFileTimeText(std::time_t when) { return LocalTimeText(when, "%A, %B %d, %Y, %I:%M:%S %p"); }

RemoteFileFields RemoteFileFieldsOf(const FtpEntry& entry, const std::string& host)
{
    RemoteFileFields fields;
    fields.name = FtpDisplayName(entry.name);
    fields.type = entry.directory ? std::string("File Folder") : RemoteBrowser::TypeDescription(entry.name);
    fields.host = FtpDisplayName(host);
    fields.location = FtpDisplayName(entry.path);
    fields.size = RemoteFileSizeText(entry.size);
    fields.created = RemoteFileTimeText(entry.created);
    fields.modified = RemoteFileTimeText(entry.written);
    fields.accessed = RemoteFileTimeText(entry.accessed);
    fields.folder = entry.directory;
    fields.readOnly = entry.readOnly;
    fields.hidden = entry.hidden;
    return fields;
}

RemoteFileFields RemoteFileFieldsOf(const CFTPFileFind& finder, const std::string& host)
{
    FtpEntry entry;
    entry.name = finder.GetFileName();
    entry.path = finder.GetFilePath();
    entry.size = finder.GetLength();
    entry.created = finder.GetCreationTime();
    entry.accessed = finder.GetLastAccessTime();
    entry.written = finder.GetLastWriteTime();
    entry.directory = finder.IsDirectory();
    entry.readOnly = finder.IsReadOnly();
    entry.hidden = finder.IsHidden();
    return RemoteFileFieldsOf(entry, host);
}
