#include "conversion/validation_converter.h"

void TValidationConverter::Create_Header()
{
    Add_Text(QLatin1String("$$ Validation DMIS file"));
    Add_Text(QLatin1String("DMISMN/'validation.dms' 04.0"));
    Add_Text(QLatin1String("FILNAM/'validation.dms'"));
    Add_Text(QLatin1String("$$"));
    Add_Text(QLatin1String("UNITS/MM,ANGDEC"));
    Add_Text(QLatin1String("D(MC_CSY)=DATSET/MCS"));
    Add_Text(QLatin1String("MODE/MAN"));
    Add_Text(QLatin1String("$$"));
    Add_Text(QLatin1String("$$ Increase the display precision to 5 decimal places minimum."));
    Add_Text(QLatin1String("DECPL/ALL,5"));

    // Offset points are moved from this origin, so it must exist first.
    if (preferences.dmis_feature_type == TPreferences::CONSTRUCTED_OFFSET_POINTS) {
        Add_Text(QLatin1String("$$"));
        Add_Text(QLatin1String("F(PT_ZERO)=FEAT/POINT,0,0,0,0,0,1"));
    }
}

void TValidationConverter::Create_Footer()
{
    Add_Text(QLatin1String("ENDFIL"));
}

void TValidationConverter::Create_Fit_Outputs()
{
    if (construction_features.empty())
        return;
    Add_Text(QLatin1String("$$"));
    const bool with_form = Form_Tolerance() != nullptr;
    for (const TConstructionFeatures &feature : construction_features) {
        if (with_form)
            Add_Text(QStringLiteral("OUTPUT/FA(%1),TA(FORM_%1)").arg(feature.name));
        else
            Add_Text(QStringLiteral("OUTPUT/FA(%1)").arg(feature.name));
    }
}
