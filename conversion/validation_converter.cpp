#include "conversion/validation_converter.h"

void TValidationConverter::Add_Text(const QString &line)
{
    dmis_text += line;
    dmis_text += QLatin1Char('\n');
}

void TValidationConverter::Add_Text(QLatin1String line)
{
    dmis_text += line;
    dmis_text += QLatin1Char('\n');
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
}
