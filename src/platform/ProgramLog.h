#pragma once
// The program's log file: failed statements and other faults the user is not shown.
// Every line goes to qWarning and, once a path is set, is appended to the log file with a
// time stamp.
#include <QString>

namespace programlog {

// Sets the log file ("" = qWarning only).
void setPath(const QString &path);
QString path();
// Appends "YYYY-MM-DD HH:MM:SS <line>" to the log file and passes the line to qWarning. Control
// characters of the text (tab and line breaks included) are written as \xHH, never raw.
void write(const QString &text);

} // namespace programlog
