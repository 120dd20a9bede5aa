#pragma once
// Whether bytes read straight from SQLite are well-formed UTF-8. SQLite keeps a text's bytes as it
// was given them; Qt's driver reads a text through SQLite's own UTF-16, which treats bytes that
// are no UTF-8 in its own way, and readers that take the bytes themselves must do the same then.
#include <QtGlobal>

namespace data {

bool isUtf8(const unsigned char *bytes, qsizetype size);

} // namespace data
