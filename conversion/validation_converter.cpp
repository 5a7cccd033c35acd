#include "conversion/validation_converter.h"

void TValidationConverter::Add_Text(const QString &line)
{
    dmis_text += line;
    dmis_text += QLatin1Char('\n');
    Text_Added();
}

void TValidationConverter::Add_Text(QLatin1String line)
{
    dmis_text += line;
    dmis_text += QLatin1Char('\n');
    Text_Added();
}

void TValidationConverter::Flush_Text()
{
    if (!text_sink)
        return;
    text_sink(dmis_text);
    // Keeps the allocation for the next piece.
    dmis_text.resize(0);
}

void TValidationConverter::Clear_Text()
{
    construction_features.clear();
    dmis_text.clear();
}

void TValidationConverter::Convert(const QByteArray &content)
{
    Clear_Text();
    Create_Header();
    Process_Validation_File(content);
    Create_Footer();
    Flush_Text();
}
