#pragma once

#include "platform/script/ScriptObject.h"

#include <filesystem>

namespace brindle::vbs {

// The File and Folder objects of Scripting.FileSystemObject, and the Files and
// SubFolders collections of a folder. Each names its item by absolute path and
// reads the disk when asked, so it sees later changes; an item that has gone
// throws 53 (file) or 76 (folder). Path is the default member of File and
// Folder; Item(name) that of the collections.

class FileObject : public ScriptObject {
public:
    explicit FileObject(std::filesystem::path path);
    VbString TypeName() const override { return u"File"; }
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;

private:
    std::filesystem::path m_path;
};

class FolderObject : public ScriptObject {
public:
    explicit FolderObject(std::filesystem::path path);
    VbString TypeName() const override { return u"Folder"; }
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;

private:
    std::filesystem::path m_path;
};

// Files (folders false) or SubFolders (folders true) of one folder, by name.
class FolderItemsObject : public ScriptObject {
public:
    FolderItemsObject(std::filesystem::path folder, bool folders) : m_folder(std::move(folder)), m_folders(folders) {}
    VbString TypeName() const override { return m_folders ? u"Folders" : u"Files"; }
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;
    std::vector<Variant> Enumerate() override;

private:
    std::vector<std::filesystem::path> List() const;
    std::filesystem::path m_folder;
    bool m_folders;
};

} // namespace brindle::vbs
