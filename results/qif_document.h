#pragma once

#include "results/qif_units.h"
#include "results/qif_values.h"
#include "validation/feature_type.h"

#include <QHash>
#include <QString>

#include <deque>
#include <vector>

// SubstituteFeatureAlgorithm/SubstituteFeatureAlgorithmEnum: the fit the
// software says it made ("LEASTSQUARES", "MINMAX"). One given by its id or
// in words is not kept: it says nothing that can be checked.
struct TQifAlgorithm
{
    bool present = false;
    int line_number = 0; // of the SubstituteFeatureAlgorithmEnum
    QString name;        // white space collapsed
};

// A measured feature of a QIF document, as written.
struct TQifMeasurement
{
    TFeatureType type = TFeatureType::PLANE;
    int line_number = 0; // of its start tag
    // Its id attribute, an xs:unsignedInt as QIF ids are, what characteristics
    // refer to it by; -1 when it has none that reads.
    qint64 id = -1;
    bool has_name = false;
    QString name; // its own FeatureName, white space collapsed
    bool has_item_id = false;
    bool item_id_elsewhere = false; // the FeatureItemId has an xId: another document's
    QString item_id;
    // Each value where the type has it; the types share the slots, so that
    // a large file of measurements takes no more memory for the types'
    // variety.
    TQifValue location;      // Location; a cylinder's or cone's Axis/AxisPoint
    TQifValue normal;        // planes, circles; lines that give no Direction
    TQifValue direction;     // Direction of a line or an Axis; a torus' AxisVector
    TQifValue diameter;      // Diameter (a cone's at the axis point); a torus' MajorDiameter
    bool has_axis = false;   // cylinders and cones: an Axis element
    bool half_angle = false; // cones: angle is the HalfAngle, else the FullAngle
    TQifValue angle;
    TQifValue minor_diameter; // tori
    TQifAlgorithm algorithm;
};

// A measured form characteristic: straightness, flatness, circularity,
// cylindricity or sphericity (QIF 3 ...CharacteristicMeasurement, QIF 2
// ...CharacteristicActual), as written.
struct TQifForm
{
    TFeatureType type = TFeatureType::PLANE; // the type whose form it is
    int line_number = 0;                     // of its start tag
    // FeatureMeasurementIds (QIF 2: FeatureActualIds): how many it lists
    // and the first, -1 when that is no id; its text when it is none.
    int id_count = 0;
    qint64 first_id = -1;
    QString first_id_text;
    TQifValue value;         // Value
    TQifAlgorithm algorithm; // the fit the form is evaluated about
};

// What the grading needs of a QIF document.
struct TQifDocument
{
    // Set when the document cannot be used: not well-formed, entities
    // declared, not a QIFDocument of QIF 2 or 3.
    bool failed = false;
    int failure_line = 0;
    QString failure;

    int major_version = 3;         // 3 for the qif3 namespace, 2 for qif2
    QString version;               // the root's versionQIF, empty when absent
    bool has_primary_unit = false; // FileUnits/PrimaryUnits/LinearUnit
    TQifLinearUnit primary_unit;
    std::vector<TQifLinearUnit> other_units; // FileUnits/OtherUnits/LinearUnit
    // The same of AngularUnit, which a TQifLinearUnit holds as well.
    bool has_primary_angular_unit = false;
    TQifLinearUnit primary_angular_unit;
    std::vector<TQifLinearUnit> other_angular_units;
    // FeatureName of each feature item (Features/FeatureItems/*FeatureItem)
    // by its id; an empty name for an item without one.
    QHash<QString, QString> item_names;
    int measurement_results = 0; // MeasurementResults elements in the file
    int first_results_line = 0;
    // Of the MeasurementResults read, in document order; a deque grows
    // without copying what it holds.
    std::deque<TQifMeasurement> measurements;
    // The form characteristics of the same MeasurementResults.
    std::deque<TQifForm> forms;
};

// Reads a QIF 3.x (namespace http://qifstandards.org/xsd/qif3) or QIF 2.0 or
// 2.1 (http://qifstandards.org/xsd/qif2) document with QXmlStreamReader,
// elements matched by namespace and local name, and keeps the measurements
// of MeasurementResults number wanted (from 1; 0 for the first). Nothing is
// fetched from outside the file, and a document type declaration that
// declares entities is refused before any is expanded. The XML is checked to
// its end.
TQifDocument Scan_Qif_Document(const char *begin, const char *end, int wanted);

// "PlaneFeatureMeasurement" in QIF 3, "PlaneFeatureActual" in QIF 2.
QString Measurement_Element(TFeatureType type, int major_version);

// "FlatnessCharacteristicMeasurement" in QIF 3, "FlatnessCharacteristicActual"
// in QIF 2, for the type's form; empty for a type without one.
QString Form_Element(TFeatureType type, int major_version);

// Where a characteristic lists its features: "FeatureMeasurementIds" in
// QIF 3, "FeatureActualIds" in QIF 2.
QString Feature_Ids_Element(int major_version);
