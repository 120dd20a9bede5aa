#pragma once
// A PostgreSQL cluster of one test's own (tools/pg-throwaway.sh), for tests that stop and start the
// server: the shared test server is never stopped. While it lives, SHOPDESK_PG_HOST and
// SHOPDESK_PG_PORT name it, so TestDatabase makes its databases there; they are given back after.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

class PrivateServer {
public:
    PrivateServer();  // starts the cluster; ok() tells whether it runs
    ~PrivateServer(); // stops it, removes its folder and names the shared server again
    PrivateServer(const PrivateServer &) = delete;
    PrivateServer &operator=(const PrivateServer &) = delete;

    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QString port() const { return m_port; }

    // Stops the server (fast shutdown: every session is ended), keeping its data; starts it again
    // on the same port. False, with error(), when the script failed.
    bool halt();
    bool resume();

private:
    bool script(const QString &command, QString *output = nullptr);

    QTemporaryDir m_parent;
    QString m_dir;
    QString m_port;
    QString m_error;
    QByteArray m_host, m_sharedHost, m_sharedPort;
    bool m_started = false;
};

} // namespace testsupport
