#include "brindlekit/shell/ShellFolderTree.h"

#include "platform/io/DisplayName.h"

#include <algorithm>
#include <system_error>

namespace brindle {

namespace fs = std::filesystem;

namespace {

bool Hidden(const std::string& name) { return name.empty() || name[0] == '.'; }

} // namespace

void ShellFolderTree::SetRoots(const std::vector<ShellRoot>& roots)
{
    m_roots.clear();
    m_skipped.clear();
    for (const ShellRoot& root : roots) {
        auto entry = std::make_unique<ShellFolderEntry>();
        entry->name = root.title;
        entry->path = root.path;
        entry->hasSubfolders = HasSubfolders(root.path);
        m_roots.push_back(std::move(entry));
    }
}

bool ShellFolderTree::Expand(ShellFolderEntry& entry)
{
    if (entry.expandedOnce) return entry.problem.empty();
    entry.expandedOnce = true;
    entry.problem.clear();
    m_skipped.clear();
    ++m_reads;

    std::error_code error;
    fs::directory_iterator it(entry.path, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::string name = it->path().filename().string();
        if (Hidden(name)) continue;
        std::error_code statError;
        const fs::file_status status = it->status(statError);
        if (status.type() == fs::file_type::not_found) {
            if (it->is_symlink(statError)) m_skipped.push_back({name, "the link points nowhere"});
            continue;
        }
        if (!fs::is_directory(status)) continue;
        auto child = std::make_unique<ShellFolderEntry>();
        child->name = std::move(name);
        child->path = it->path();
        child->hasSubfolders = HasSubfolders(child->path);
        child->parent = &entry;
        entry.children.push_back(std::move(child));
    }
    std::sort(entry.children.begin(), entry.children.end(),
              [](const auto& a, const auto& b) { return a->name < b->name; });
    if (error) {
        entry.problem = "The folder \"" + EscapedDisplayName(entry.path.string()) +
                        "\" cannot be read: " + error.message() + ".";
    }
    // What was there is all it has: no expand button for a folder found empty.
    entry.hasSubfolders = !entry.children.empty() || !entry.problem.empty();
    return entry.problem.empty();
}

bool ShellFolderTree::Refresh(ShellFolderEntry& entry)
{
    const bool wasExpanded = entry.expandedOnce;
    entry.children.clear();
    entry.expandedOnce = false;
    entry.problem.clear();
    if (!wasExpanded) {
        entry.hasSubfolders = HasSubfolders(entry.path);
        return true;
    }
    return Expand(entry);
}

std::string ShellFolderTree::Label(const ShellFolderEntry& entry) { return EscapedDisplayName(entry.name); }

bool ShellFolderTree::HasSubfolders(const fs::path& folder)
{
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) return error != std::errc::no_such_file_or_directory && error != std::errc::not_a_directory;
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        if (Hidden(it->path().filename().string())) continue;
        std::error_code statError;
        if (it->is_directory(statError)) return true;
    }
    return static_cast<bool>(error);
}

} // namespace brindle
