#pragma once

#include "platform/settings/Profile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <netinet/in.h>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace brindle::test {

// A real FTP server (Debian's pyftpdlib) on 127.0.0.1 for the length of a test:
// a free port, a fresh root folder, one user with write access. Stop and Start
// take it down and up again on the same port and root.
class FtpServerFixture : public ::testing::Test {
public:
    static constexpr const char* kUser = "brindle";
    static constexpr const char* kPassword = "s3cret-Pw0rd";

    std::uint16_t Port() const { return m_port; }
    const std::filesystem::path& Root() const { return m_root.path(); }
    const char* Host() const { return "127.0.0.1"; }

    // Starts the server and waits until its port answers.
    void Start() { Launch({"-m", "pyftpdlib", "-i", "127.0.0.1", "-p", std::to_string(m_port), "-u", kUser, "-P",
                           kPassword, "-d", Root().string(), "-w"}); }

    // The same server through pyftpdlib's classes, for what its command line
    // cannot set: data connections held to `bytesPerSecond` (0: no limit), so that
    // a transfer can be cut off halfway or trickles; MLSD refused, as older
    // servers do; SIZE refused; renaming refused; every download ended after
    // `downloadsEndAt` bytes (-1: the whole file) with a reply of success; NOOP
    // answered with the given reply lines instead of one (none: as usual); one
    // folder the user may not write to. Its logins are counted (Logins).
    struct Options {
        int bytesPerSecond = 0;
        bool mlsd = true;
        bool size = true;
        bool rename = true;
        long downloadsEndAt = -1;
        std::vector<std::string> noopReplies = {};
        std::string readOnlyFolder = {}; // under the root: listed and read, never written
    };
    void StartWith(const Options& options)
    {
        const std::string script =
            "import sys\n"
            "from pyftpdlib.authorizers import DummyAuthorizer\n"
            "from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler\n"
            "from pyftpdlib.servers import FTPServer\n"
            "a = DummyAuthorizer()\n"
            "a.add_user(sys.argv[2], sys.argv[3], sys.argv[4], perm='elradfmwMT')\n"
            "end_at = int(sys.argv[9])\n"
            "class H(FTPHandler):\n"
            "    proto_cmds = dict(FTPHandler.proto_cmds)\n"
            "    def ftp_RETR(self, file):\n"
            "        if end_at < 0:\n"
            "            return FTPHandler.ftp_RETR(self, file)\n"
            "        with open(file, 'rb') as f:\n"
            "            self.push_dtp_data(f.read(end_at), cmd='RETR')\n"
            "        return file\n"
            "noop_replies = [r for r in sys.argv[10].split('\\n') if r]\n"
            "logins = open(sys.argv[11], 'w')\n"
            "def on_login(self, username):\n"
            "    logins.write('login\\n')\n"
            "    logins.flush()\n"
            "H.on_login = on_login\n"
            "def ftp_NOOP(self, line):\n"
            "    for reply in noop_replies:\n"
            "        self.respond(reply)\n"
            "if noop_replies:\n"
            "    H.ftp_NOOP = ftp_NOOP\n"
            "if sys.argv[12]:\n"
            "    import os\n"
            "    a.override_perm(sys.argv[2], os.path.join(sys.argv[4], sys.argv[12]), perm='elr', recursive=True)\n"
            "if sys.argv[6] == '0':\n"
            "    del H.proto_cmds['MLSD']\n"
            "if sys.argv[7] == '0':\n"
            "    del H.proto_cmds['SIZE']\n"
            "if sys.argv[8] == '0':\n"
            "    del H.proto_cmds['RNFR']\n"
            "    del H.proto_cmds['RNTO']\n"
            "if int(sys.argv[5]) > 0:\n"
            "    ThrottledDTPHandler.read_limit = ThrottledDTPHandler.write_limit = int(sys.argv[5])\n"
            "    H.dtp_handler = ThrottledDTPHandler\n"
            "H.authorizer = a\n"
            "FTPServer(('127.0.0.1', int(sys.argv[1])), H).serve_forever()\n";
        Launch({"-c", script, std::to_string(m_port), kUser, kPassword, Root().string(),
                std::to_string(options.bytesPerSecond), options.mlsd ? "1" : "0", options.size ? "1" : "0",
                options.rename ? "1" : "0", std::to_string(options.downloadsEndAt), Join(options.noopReplies),
                LoginLog().string(), options.readOnlyFolder});
    }

#ifdef BRINDLE_TEST_DATA
    // The same server speaking explicit TLS (AUTH TLS) with the certificate of
    // tests/data/ftps, issued to 127.0.0.1 and localhost and trusted by nothing
    // but itself (TlsCaFile).
    static std::string TlsCaFile() { return std::string(BRINDLE_TEST_DATA) + "/ftps/server-cert.pem"; }
    void StartTls()
    {
        const std::string script =
            "import sys\n"
            "from pyftpdlib.authorizers import DummyAuthorizer\n"
            "from pyftpdlib.handlers import TLS_FTPHandler\n"
            "from pyftpdlib.servers import FTPServer\n"
            "a = DummyAuthorizer()\n"
            "a.add_user(sys.argv[2], sys.argv[3], sys.argv[4], perm='elradfmwMT')\n"
            "from pyftpdlib.handlers import TLS_DTPHandler\n"
            // pyftpdlib drops a data connection whose TLS handshake begins before
            // the transfer command, as libcurl's does: it is answered instead.
            "class D(TLS_DTPHandler):\n"
            "    def readable(self):\n"
            "        return self._ssl_accepting or super().readable()\n"
            "class H(TLS_FTPHandler):\n"
            "    certfile = sys.argv[5]\n"
            "    keyfile = sys.argv[6]\n"
            "    dtp_handler = D\n"
            "H.authorizer = a\n"
            "FTPServer(('127.0.0.1', int(sys.argv[1])), H).serve_forever()\n";
        const std::string data = std::string(BRINDLE_TEST_DATA) + "/ftps/";
        Launch({"-c", script, std::to_string(m_port), kUser, kPassword, Root().string(), data + "server-cert.pem",
                data + "server-key.pem"});
    }
#endif

    // Stores this server in the settings in use as the remote server `entry`,
    // with an initial folder when one is given.
    void StoreServer(const std::string& entry, const std::optional<std::string>& initialDir = std::nullopt) const
    {
        const std::string section = "RemoteServers\\" + entry;
        Profile::WriteProfileString(section, "hostname", Host());
        Profile::WriteProfileString(section, "username", kUser);
        Profile::WriteProfileString(section, "password", kPassword);
        if (initialDir) Profile::WriteProfileString(section, "initdir", *initialDir);
        Profile::WriteProfileInt(section, "hostport", Port());
    }

    // How many logins the server started by StartWith has seen.
    int Logins() const
    {
        std::ifstream log(LoginLog());
        int count = 0;
        for (std::string line; std::getline(log, line);) ++count;
        return count;
    }

    // Kills the server at once, as a crash or a pulled cable would.
    void Stop()
    {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

protected:
    void SetUp() override
    {
        m_port = FreePort();
        Start();
    }
    void TearDown() override { Stop(); }

private:
    std::filesystem::path LoginLog() const { return m_log.path() / "logins"; }

    static std::string Join(const std::vector<std::string>& lines)
    {
        std::string joined;
        for (const std::string& line : lines) joined += line + "\n";
        return joined;
    }

    static std::uint16_t FreePort()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        ::close(fd);
        return ntohs(address.sin_port);
    }

    bool PortAnswers() const
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(m_port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return ok;
    }

    void Launch(const std::vector<std::string>& args)
    {
        Stop();
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL); // never outlives the test
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 1);
            ::dup2(null, 2);
            // The test's own folder may be gone (a document opened there changed to it).
            if (::chdir(m_root.path().c_str()) != 0) ::_exit(126);
            std::vector<char*> argv{const_cast<char*>("/usr/bin/python3")};
            for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        m_pid = pid;
        for (int i = 0; i < 200; ++i) {
            if (PortAnswers()) return;
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        FAIL() << "the FTP server did not start on port " << m_port;
    }

    TempDir m_root;
    TempDir m_log; // outside the root, so that no listing shows it
    std::uint16_t m_port = 0;
    pid_t m_pid = -1;
};

} // namespace brindle::test
