#pragma once
// The daily backup of the network database: one pg_dump file (custom format) per calendar day in the
// program directory's folder `backup`, named by the day without leading zeros and without extension
// (11 March 2015 gives 2015-3-11). A later backup of the same day replaces the earlier one.
#include <QDate>
#include <QString>

#include "data/ServerSettings.h"

namespace data {

// The day's file name: year-month-day, each in decimal without leading zeros ("2015-3-1").
QString backupFileName(const QDate &day);
// <programDir>/backup: the one folder that backups are written to, listed from and restored from.
QString backupFolder(const QString &programDir);

struct BackupResult {
    bool ok = false;
    QString file;  // the day's backup file
    QString error; // why it failed
};

// Dumps the database of `settings` into the day's file of <programDir>/backup, making the folder
// when it is missing. pg_dump writes a hidden temporary file in the folder (never listed as a
// backup); only when it succeeded does that file replace the day's file, so a failed backup never
// costs the day's earlier one, and nothing of a failed dump is left behind.
BackupResult backupDatabase(const ServerSettings &settings, const QString &programDir, const QDate &day);

} // namespace data
