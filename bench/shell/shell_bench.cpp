// Times the local directory list on a folder of many files, and counts the
// folders the folder tree reads while a deep hierarchy is opened.
//
// List: the folder read into the list (types and icons looked up), then
// sorted by each column in turn, each time drawn once in a shown window.
// Prints the medians over RUNS runs in milliseconds.
// Tree: a hierarchy DEPTH levels deep, each level holding several folders, is
// opened along one path; prints the folders read against those that exist.
//
//   shell_bench RUNS FOLDER DEEP_FOLDER DEPTH
#include "bench/GuiPump.h"
#include "bench/Measure.h"
#include "brindlekit/shell/ShellDirCtrl.h"
#include "brindlekit/shell/ShellFolderTree.h"

#include <wx/frame.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace brindle;
namespace fs = std::filesystem;

namespace {

const char* const kColumnNames[] = {"name", "size", "type", "modified"};

int ListBench(int runs, const fs::path& folder)
{
    auto* frame = new wxFrame(nullptr, wxID_ANY, "shell list", wxDefaultPosition, wxSize(700, 500));
    auto* list = new CShellDirCtrl(frame);
    list->Init();
    frame->Show();
    bench::Pump();
    std::vector<double> listTimes;
    std::vector<std::vector<double>> sortTimes(ShellDirListModel::kColumnCount);
    for (int run = 0; run < runs; ++run) {
        ShellDirListModel::SetSortedColumn(-1);  // every click sorts ascending
        auto start = bench::Clock::now();
        list->SetFolder(folder);
        list->Update();
        bench::Pump();
        listTimes.push_back(bench::Ms(start, bench::Clock::now()));
        for (int column = 0; column < ShellDirListModel::kColumnCount; ++column) {
            ShellDirListModel::SetSortedColumn(-1);
            start = bench::Clock::now();
            list->SortByColumn(column);
            list->Update();
            bench::Pump();
            sortTimes[static_cast<std::size_t>(column)].push_back(bench::Ms(start, bench::Clock::now()));
        }
    }
    const long rows = list->GetItemCount();
    std::printf("rows %ld\nlist_ms %.1f\n", rows, bench::Median(listTimes));
    double worst = bench::Median(listTimes);
    for (int column = 0; column < ShellDirListModel::kColumnCount; ++column) {
        const double ms = bench::Median(sortTimes[static_cast<std::size_t>(column)]);
        std::printf("sort_%s_ms %.1f\n", kColumnNames[column], ms);
        worst = std::max(worst, ms);
    }
    std::printf("slowest_step_ms %.1f (goal <= 1000)\n", worst);
    frame->Destroy();
    bench::Pump();
    return rows > 0 ? 0 : 1;
}

int TreeBench(const fs::path& top, int depth)
{
    ShellFolderTree tree;
    tree.SetRoots({{"deep", top}});
    ShellFolderEntry* entry = &tree.Root(0);
    int opened = 0;
    while (entry && tree.Expand(*entry) && !entry->children.empty()) {
        ++opened;
        entry = entry->children.front().get();
    }
    std::size_t existing = 0;
    std::error_code error;
    for (fs::recursive_directory_iterator it(top, error), end; !error && it != end; it.increment(error))
        existing += it->is_directory() ? 1 : 0;
    std::printf("levels_opened %d of %d\nFolderReads %zu\nfolders_existing %zu\n", opened, depth,
                tree.FolderReads(), existing + 1);
    return tree.FolderReads() == static_cast<std::size_t>(opened) + 1 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: shell_bench RUNS FOLDER DEEP_FOLDER DEPTH\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    const fs::path folder = argv[2], deep = argv[3];
    const int depth = std::atoi(argv[4]);
    return bench::RunWithToolkit(argv[0], [&] {
        const int list = ListBench(runs, folder);
        return TreeBench(deep, depth) || list;
    });
}
