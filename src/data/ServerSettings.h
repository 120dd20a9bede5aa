#pragma once
#include <QString>

namespace data {

// Where the network-mode database lives (the settings of sql.ini).
struct ServerSettings {
    QString ip;       // host name or address
    QString port;     // "" = the default port 5432
    QString data;     // database name
    QString user;
    QString password;
};

} // namespace data
