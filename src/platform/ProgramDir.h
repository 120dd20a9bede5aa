#pragma once
// The program directory holds sql.ini, print.ini, qi.db, backup/, LOGO/, the log file and exported
// workbooks. It is the executable's folder unless the command line gives "--home DIR".
#include <QString>
#include <QStringList>

class ProgramDir
{
public:
    // Reads "--home DIR" (or "--home=DIR") from the program's arguments; without it the executable's
    // folder is used. A relative DIR is taken from the current folder. Returns false, with a message in
    // *error, when "--home" has no directory or the directory does not exist; the directory is then
    // left as it was.
    static bool initFromArguments(const QStringList &arguments, QString *error = nullptr);
    // Sets the directory directly (tests); also points the program log into it.
    static void set(const QString &directory);
    // The absolute path of the directory, without a trailing separator.
    static QString path();
    // A file or folder name inside the directory: file("qi.db").
    static QString file(const QString &name);
    // Name of the program's log file inside the directory.
    static QString logFileName();
};
