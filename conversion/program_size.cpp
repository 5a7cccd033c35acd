#include "conversion/program_size.h"

#include "conversion/validation_converter.h"

#include <algorithm>

TProgramSize Measure_Program(const QByteArray &content, const TPreferences &preferences)
{
    TValidationConverter counter;
    counter.preferences = preferences;
    TProgramSize size;
    counter.text_sink = [&size](const QByteArray &piece) {
        size.characters += piece.size();
        size.lines += std::count(piece.begin(), piece.end(), '\n');
    };
    counter.Convert(content);
    return size;
}
