#pragma once
#include <QList>
#include <QPair>
#include <QString>

// Reads and writes Windows-style INI files (such as sql.ini) whose bytes are GBK, the way the
// Windows profile-string functions do:
//  - section and key names match without regard to ASCII letter case; blanks and control
//    characters around the names (in the file and in the arguments) do not count;
//  - a value is the text after the first "=", without surrounding blanks; one pair of matching
//    surrounding quotes ("..." or '...') is removed; at most 10,239 bytes of it are read;
//  - a line whose first non-blank character is ";" is a comment;
//  - when a section appears twice, the first one counts;
//  - CRLF and LF line ends are both accepted.

// How a value is read. Trimmed: as described above. Exact: every byte after the first "=" up to
// the line end, blanks and quotes included, for files that only this program writes and whose
// texts may begin or end with blanks (print.ini).
enum class IniValueForm { Trimmed, Exact };

// The value of the key, or "" when the file, the section or the key is missing.
QString readIniValue(const QString &path, const QString &section, const QString &key,
                     IniValueForm form = IniValueForm::Trimmed);

// True when the file exists and holds the section (even with no key in it).
bool iniSectionExists(const QString &path, const QString &section);

// Sets the key to the value, adding the key (at the end of its section) or the section (at the
// end of the file) when missing and creating the file when it does not exist. Every other line
// is kept byte for byte, and the file keeps its own line ends (a new file gets CRLF). The file is
// replaced atomically, so a failed write leaves the old file as it was.
// Returns false when nothing was written: the file cannot be read or replaced, or the section,
// key or value cannot be stored (a line break, "]" in a section name, "=" in a key name, an empty
// name, or a character GBK cannot encode).
bool writeIniValue(const QString &path, const QString &section, const QString &key, const QString &value);

// Sets several keys of one section in one replacement of the file: all are written or none. Keys
// the section lacks are added in the order given, each after the key before it (a missing section
// gets them all in that order), so a section written from a fixed key list keeps that order.
bool writeIniValues(const QString &path, const QString &section, const QList<QPair<QString, QString>> &entries);
