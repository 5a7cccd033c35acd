#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <limits>

// The most any input may hold: what one byte array can, just under 2 GB.
constexpr qint64 MAX_INPUT_SIZE = std::numeric_limits<int>::max() - 64;

// Reads a whole input into memory: a regular file, a pipe, a device. Never
// maps it, so a file cut short while it is read cannot fault, and never
// reads more than max_size bytes. Fails, with the reason, when the input
// cannot be read, holds more than max_size bytes, or changed while it was
// read (then nothing of it is used). between_pieces runs after each piece
// read, for tests that change the file under the reader.
bool Read_Input_File(const QString &path, QByteArray &content, QString &reason,
                     qint64 max_size = MAX_INPUT_SIZE,
                     const std::function<void()> &between_pieces = {});

// "2 GB" for the usual limit, exact bytes otherwise.
QString Size_Limit_Text(qint64 max_size);
