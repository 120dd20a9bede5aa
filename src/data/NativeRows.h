#pragma once
// The rows of one SELECT read through the database's own client library instead of the Qt
// driver: the driver turns every cell of every row into a QVariant first, which for a list of
// 100,000 rows costs more than the query. A row's cells are made into text only when asked for,
// and a cell equal to the one above it in the same column shares that cell's text.
// Texts are those of RecordSet::textOf for the same values.
#include <QString>
#include <QStringList>

#include "data/Sql.h"

namespace data {

class NativeRows {
public:
    enum class Opened {
        Yes,      // the statement runs; read its rows with next()
        Failed,   // the statement failed: error() says why
        NotTaken, // nothing to show for it (a statement or values this reader does not take, or
                  // result columns it cannot turn into the driver's texts): read it through the driver
    };
    virtual ~NativeRows() = default;

    virtual Opened open(const Sql &sql) = 0;
    virtual QStringList columnNames() const = 0;
    // Makes the next row current; false after the last row and on failure (error() is then set).
    virtual bool next() = 0;
    // The current row's text at a valid position.
    virtual QString text(int position) = 0;
    virtual QString error() const = 0;
    // Ends the statement; rows not read are dropped, and the connection is free for the next one.
    virtual void close() = 0;

    // Whether the statement text is one this reader takes: a single SELECT.
    static bool isSelect(const QString &text);
};

} // namespace data
