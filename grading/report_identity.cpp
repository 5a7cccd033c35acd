#include "grading/report_identity.h"

#include <QCryptographicHash>
#include <QTimeZone>

QString Report_Identifier(const QList<QByteArray> &sha256s, const QDateTime &date)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QByteArray &sha256 : sha256s) {
        hash.addData(sha256);
        hash.addData("\n", 1);
    }
    hash.addData(date.toUTC().toString(Qt::ISODate).toLatin1());
    const QByteArray digits = hash.result().toHex().toUpper().left(16);
    QString identifier;
    for (int i = 0; i < digits.size(); i += 4) {
        if (i > 0)
            identifier += QLatin1Char('-');
        identifier += QString::fromLatin1(digits.mid(i, 4));
    }
    return identifier;
}

bool Grading_Date(QDateTime &date, QString &reason)
{
    if (!qEnvironmentVariableIsSet("SOURCE_DATE_EPOCH")) {
        date = QDateTime::currentDateTime();
        // To the second, as the reports write it and the identifier takes it.
        date = date.addMSecs(-date.time().msec());
        return true;
    }
    const QByteArray text = qgetenv("SOURCE_DATE_EPOCH");
    bool ok = !text.isEmpty();
    for (const char c : text)
        ok = ok && c >= '0' && c <= '9';
    const qlonglong seconds = ok ? text.toLongLong(&ok) : 0;
    // Up to the year 9999, which the dates are written to.
    if (!ok || seconds > 253402300799LL) {
        reason = QStringLiteral("SOURCE_DATE_EPOCH must be a whole number of seconds since "
                                "1970-01-01 UTC, not '%1'")
                     .arg(QString::fromLocal8Bit(text.left(40)));
        return false;
    }
    date = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    return true;
}
