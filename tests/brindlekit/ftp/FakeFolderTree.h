#pragma once

#include "brindlekit/ftp/FTPServerStore.h"

#include <list>
#include <memory>
#include <string>
#include <vector>

namespace brindle::test {

// The tree side of the server store without a window: a flat list of server
// entries, each owning its record, with one selected entry.
class FakeFolderTree : public CFTPServerStore {
public:
    struct Entry {
        std::unique_ptr<CFTPFolderServer> server;
        std::string text;
    };

    using CFTPServerStore::RestoreSettings;

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> out;
        for (const auto& e : entries) out.push_back(e.text);
        return out;
    }
    Entry& At(size_t index) { return *std::next(entries.begin(), static_cast<long>(index)); }
    void Select(size_t index) { selected = wxTreeItemId(&At(index)); }

    std::list<Entry> entries;
    wxTreeItemId selected;
    std::vector<std::string> closedItems; // text of each entry CloseItem acted on

protected:
    wxTreeItemId InsertServerItem(std::unique_ptr<CFTPFolderServer> server) override
    {
        std::string text = server->GetEntryName();
        entries.push_back({std::move(server), text});
        return wxTreeItemId(&entries.back());
    }
    void CloseItem(const wxTreeItemId& item) override
    {
        Entry* e = Find(item.IsOk() ? item : selected);
        closedItems.push_back(e->text);
        e->server->Close();
    }
    void RemoveItem(const wxTreeItemId& item) override
    {
        entries.remove_if([&](const Entry& e) { return &e == item.GetID(); });
        if (selected == item) selected = wxTreeItemId();
    }
    wxTreeItemId GetSelectedEntry() const override { return selected; }
    void SetEntryText(const wxTreeItemId& item, const std::string& text) override { Find(item)->text = text; }

private:
    Entry* Find(const wxTreeItemId& item) { return static_cast<Entry*>(item.GetID()); }
};

} // namespace brindle::test
