#pragma once

namespace data {

// The two database backends: the embedded file of single-machine mode and the network server.
enum class Backend { Sqlite, Postgres };

} // namespace data
