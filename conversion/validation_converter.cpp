#include "conversion/validation_converter.h"

void TValidationConverter::Add_Text(const QString &line)
{
    if (text_sink) {
        sink_text += line.toLatin1();
        Sink_Line_Added();
        return;
    }
    dmis_text += line;
    dmis_text += QLatin1Char('\n');
}

void TValidationConverter::Add_Text(QLatin1String line)
{
    if (text_sink) {
        sink_text.append(line.data(), line.size());
        Sink_Line_Added();
        return;
    }
    dmis_text += line;
    dmis_text += QLatin1Char('\n');
}

void TValidationConverter::Flush_Text()
{
    if (!text_sink)
        return;
    text_sink(sink_text);
    sink_text.resize(0);
}

void TValidationConverter::Clear_Text()
{
    construction_features.clear();
    file_type = nullptr;
    dmis_text.clear();
    sink_text.clear();
}

void TValidationConverter::Convert(const QByteArray &content)
{
    Clear_Text();
    // Reserved, so that emptying it after each piece keeps the allocation.
    if (text_sink)
        sink_text.reserve(TEXT_PIECE_SIZE + TEXT_PIECE_SIZE / 4);
    Create_Header();
    Process_Validation_File(content);
    if (output_fits)
        Create_Fit_Outputs();
    Create_Footer();
    Flush_Text();
}
