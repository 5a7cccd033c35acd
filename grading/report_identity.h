#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// A report's identifier, short enough to quote on the telephone and the same
// in every output of one run: the first 16 hexadecimal digits, in four groups
// ("3F2A-9C1B-77D0-E412"), of the SHA-256 of the inputs' SHA-256 digests (in
// the order given, hexadecimal) and the date in UTC to the second. Other
// inputs or another second give another identifier.
QString Report_Identifier(const QList<QByteArray> &sha256s, const QDateTime &date);

// When a grading takes place. SOURCE_DATE_EPOCH, when set, fixes it (seconds
// since 1970-01-01 UTC, a whole number, as reproducible builds use it), the
// date then in UTC; otherwise the clock's local time. False, with the reason,
// for a SOURCE_DATE_EPOCH that is not such a number.
bool Grading_Date(QDateTime &date, QString &reason);
