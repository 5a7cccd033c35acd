#include "files/save_whole_file.h"

#include "files/output_file.h"

bool Save_Whole_File(const QString &file_name, const QByteArray &bytes, QString *reason)
{
    // A window must not hang on a FIFO that nobody reads.
    TOutputFile file(file_name, TOutputFile::FAIL_WITHOUT_READER);
    if (file.Open()) {
        // Committed even after a failed write, which it then reports.
        file.Write(bytes);
        if (file.Commit())
            return true;
    }
    *reason = file.Error_String();
    return false;
}
