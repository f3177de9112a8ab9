// Times the FTP client against the curl program on the same server, side by
// side in each run: downloading and uploading one large file (connecting and
// logging in included for both), and listing a folder of many files. Prints one
// "name value" line per figure, medians over RUNS runs.
//
//   ftp_bench RUNS PORT USER PASSWORD BIGFILE LISTFOLDER WORKDIR
// BIGFILE is a file name in the server's root, LISTFOLDER a folder there;
// WORKDIR is a local folder for the copies.
#include "platform/net/FtpClient.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace brindle;

namespace {

double Seconds(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double TimeCommand(const std::string& command)
{
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    return Seconds(start);
}

[[noreturn]] void Die(const std::string& what)
{
    std::fprintf(stderr, "%s\n", what.c_str());
    std::exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 8) Die("usage: ftp_bench RUNS PORT USER PASSWORD BIGFILE LISTFOLDER WORKDIR");
    const int runs = std::max(1, std::atoi(argv[1]));
    const auto port = static_cast<std::uint16_t>(std::atoi(argv[2]));
    const std::string user = argv[3], password = argv[4], big = argv[5], folder = argv[6], work = argv[7];
    const std::string url = "ftp://127.0.0.1:" + std::to_string(port) + "/";
    const std::string login = " -u '" + user + ":" + password + "' ";

    FtpSession session;
    std::vector<double> getOurs, getCurl, getCurlSynced, putOurs, putCurl, list;
    std::size_t listed = 0;
    for (int run = 0; run < runs; ++run) {
        getCurl.push_back(TimeCommand("curl -s -S" + login + "-o '" + work + "/curl.bin' '" + url + big + "'"));
        // The client flushes a download to disk before it renames it into place;
        // curl followed by a flush of its file is the like-for-like reference.
        getCurlSynced.push_back(TimeCommand("curl -s -S" + login + "-o '" + work + "/curl.bin' '" + url + big +
                                            "' && sync '" + work + "/curl.bin'"));
        auto start = std::chrono::steady_clock::now();
        {
            auto ftp = session.Connect("127.0.0.1", port, user, password);
            if (!ftp->GetFile(big, work + "/ours.bin", FtpTransfer::Binary)) Die(ftp->LastError());
        }
        getOurs.push_back(Seconds(start));

        putCurl.push_back(TimeCommand("curl -s -S" + login + "-T '" + work + "/curl.bin' '" + url + "up_curl.bin'"));
        start = std::chrono::steady_clock::now();
        {
            auto ftp = session.Connect("127.0.0.1", port, user, password);
            if (!ftp->PutFile(work + "/ours.bin", "up_ours.bin")) Die(ftp->LastError());
        }
        putOurs.push_back(Seconds(start));

        auto ftp = session.Connect("127.0.0.1", port, user, password);
        if (!ftp->SetCurrentDirectory(folder)) Die(ftp->LastError());
        std::vector<FtpEntry> entries;
        start = std::chrono::steady_clock::now();
        if (!ftp->List("*", entries)) Die(ftp->LastError());
        list.push_back(Seconds(start));
        listed = entries.size();
    }
    const double gc = Median(getCurl), go = Median(getOurs), pc = Median(putCurl), po = Median(putOurs);
    const double gs = Median(getCurlSynced);
    std::printf("download_curl_s %.3f\ndownload_ours_s %.3f\ndownload_ratio %.2f\n", gc, go, go / gc);
    std::printf("download_curl_and_sync_s %.3f\ndownload_ratio_to_curl_and_sync %.2f\n", gs, go / gs);
    std::printf("upload_curl_s %.3f\nupload_ours_s %.3f\nupload_ratio %.2f\n", pc, po, po / pc);
    std::printf("list_%zu_s %.3f\n", listed, Median(list));
    return 0;
}
