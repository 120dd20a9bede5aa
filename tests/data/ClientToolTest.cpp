// pg_dump and pg_restore against a server that wants a password the settings do not hold: they
// fail at once with their own words and never ask for one. The server is a stand-in on a loopback
// port that answers every connection with a request for a clear-text password and counts the
// connections and the passwords it is sent.
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestDatabase.h"
#include "data/ClientTool.h"
#include "data/DatabaseBackup.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>

namespace {

class PasswordAskingServer
{
public:
    PasswordAskingServer()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        socklen_t length = sizeof address;
        if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
            || ::listen(m_listener, 8) != 0
            || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~PasswordAskingServer()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_listener >= 0)
            ::close(m_listener);
    }
    int port() const { return m_port; }
    int connections() const { return m_connections; }
    int passwords() const { return m_passwords; }

private:
    static bool readAll(int fd, char *buffer, size_t size)
    {
        while (size > 0) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 10000) <= 0)
                return false;
            const ssize_t n = ::read(fd, buffer, size);
            if (n <= 0)
                return false;
            buffer += n;
            size -= size_t(n);
        }
        return true;
    }
    static std::uint32_t bigEndian(const char *bytes)
    {
        std::uint32_t value;
        std::memcpy(&value, bytes, 4);
        return ntohl(value);
    }

    void serve()
    {
        while (!m_stop) {
            pollfd p{m_listener, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const int fd = ::accept(m_listener, nullptr, nullptr);
            if (fd < 0)
                continue;
            talk(fd);
            ::close(fd);
        }
    }

    // One client: answers "no" to encryption requests, asks for a password after the start-up
    // message and counts a password message if one comes.
    void talk(int fd)
    {
        char head[8];
        for (;;) {
            if (!readAll(fd, head, 4))
                return;
            const std::uint32_t length = bigEndian(head);
            if (length < 8 || length > 10000)
                return;
            std::string body(length - 4, '\0');
            if (!readAll(fd, body.data(), body.size()))
                return;
            const std::uint32_t code = bigEndian(body.data());
            if (code == 80877103 || code == 80877104) { // SSLRequest, GSSENCRequest
                if (::write(fd, "N", 1) != 1)
                    return;
                continue;
            }
            break;
        }
        ++m_connections;
        const char askForPassword[] = {'R', 0, 0, 0, 8, 0, 0, 0, 3};
        if (::write(fd, askForPassword, sizeof askForPassword) != ssize_t(sizeof askForPassword))
            return;
        if (readAll(fd, head, 1) && head[0] == 'p')
            ++m_passwords;
    }

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::atomic<int> m_passwords{0};
    std::thread m_thread;
};

TEST(ClientTool, AServerWantingAPasswordIsAFailureAtOnceWithoutAPrompt)
{
    // pg_restore reads its archive before it connects: a real one, of an empty database.
    testsupport::TestDatabase source(data::Backend::Postgres, testsupport::TestDatabase::Empty);
    ASSERT_TRUE(source.ok()) << source.error().toStdString();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const data::BackupResult archive = data::backupDatabase(source.serverSettings(), dir.path(), QDate(2015, 3, 1));
    ASSERT_TRUE(archive.ok) << archive.error.toStdString();

    const struct {
        const char *program;
        QStringList arguments;
    } cases[] = {
        {"pg_dump", {QStringLiteral("--format=custom"), QStringLiteral("--file=") + QDir(dir.path()).filePath("out")}},
        {"pg_restore", {QStringLiteral("--exit-on-error"), QStringLiteral("--dbname=shop"), archive.file}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.program);
        PasswordAskingServer server;
        ASSERT_GT(server.port(), 0);
        data::ServerSettings settings{QStringLiteral("127.0.0.1"), QString::number(server.port()), QStringLiteral("shop"),
                                      QStringLiteral("shopdesk"), QString()};
        const data::ClientToolResult result =
            data::runClientTool(QString::fromLatin1(c.program), c.arguments, settings, settings.data);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.error.contains(QStringLiteral("no password supplied"))) << result.error.toStdString();
        EXPECT_FALSE(result.error.contains(QStringLiteral("Password:"))) << "it never asked";
        EXPECT_EQ(server.connections(), 1) << "no second try after a prompt";
        EXPECT_EQ(server.passwords(), 0);
    }
}

} // namespace
