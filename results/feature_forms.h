#pragma once

#include "validation/criterion.h"
#include "validation/feature_type.h"

#include <QString>

// The form each type of feature is stated with, as the formats name it:
// straightness of a line, flatness of a plane, roundness of a circle,
// sphericity of a sphere, cylindricity of a cylinder. Cones and tori have
// none here.

// The DMIS tolerance: "STRGHT", "FLAT", "CIRLTY", "CYLCTY"; nullptr for a
// sphere (DMIS has no sphericity tolerance) and the types without a form.
const char *Dmis_Form_Tolerance(TFeatureType type);

// The word QIF builds the characteristic's element from: "Straightness",
// "Flatness", "Circularity", "Sphericity", "Cylindricity"; nullptr for the
// types without a form.
const char *Qif_Form_Word(TFeatureType type);

// QIF's SubstituteFeatureAlgorithmEnum for the criterion: "LEASTSQUARES",
// "MINMAX", "MINCIRCUMSCRIBED", "MAXINSCRIBED".
const char *Qif_Algorithm(TCriterion criterion);

// "least squares", "minimum zone", as a sentence says it.
QString Criterion_Words(TCriterion criterion);
