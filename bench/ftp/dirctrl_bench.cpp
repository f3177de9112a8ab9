// Times the FTP directory list on a folder of many files: the listing fetched
// through a server record, the rows built, sorted by name and drawn once in a
// shown window. Prints the median over RUNS runs in milliseconds.
//
//   ftp_dirctrl_bench RUNS PORT USER PASSWORD FOLDER
#include "bench/GuiPump.h"
#include "bench/Measure.h"
#include "brindlekit/ftp/FTPDirCtrl.h"
#include "brindlekit/ftp/FTPFolderServer.h"

#include <wx/frame.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace brindle;

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: ftp_dirctrl_bench RUNS PORT USER PASSWORD FOLDER\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    const auto port = static_cast<std::uint32_t>(std::atoi(argv[2]));
    const std::string user = argv[3], password = argv[4], folder = argv[5];
    return bench::RunWithToolkit(argv[0], [&] {
        auto* frame = new wxFrame(nullptr, wxID_ANY, "ftp list", wxDefaultPosition, wxSize(700, 500));
        auto* list = new CFTPDirCtrl(frame);
        list->Init();
        frame->Show();
        bench::Pump();
        CFTPFolderServer server("bench", "127.0.0.1", user, password, "/", port);
        if (!server.Connect()) return 1;
        std::vector<double> times;
        long rows = 0;
        for (int run = 0; run < runs; ++run) {
            FTPDirListModel::SetSortedColumn(FTPDirListModel::kName);
            const auto start = bench::Clock::now();
            list->SetFolder(CFTPFolderItem(&server, folder, folder));
            list->SortByColumn(FTPDirListModel::kName);
            list->Update();
            bench::Pump();
            times.push_back(bench::Ms(start, bench::Clock::now()));
            rows = list->GetItemCount();
        }
        std::printf("rows %ld\nlist_sort_show_ms %.1f\n", rows, bench::Median(times));
        frame->Destroy();
        bench::Pump();
        return rows > 0 ? 0 : 1;
    });
}
