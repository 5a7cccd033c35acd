#pragma once

#include "core/vector3.h"
#include "validation/criterion.h"
#include "validation/feature_type.h"
#include "validation/validation_fields.h"

#include <QByteArray>
#include <QString>

// What sets the file types apart while reading.
struct TValidationType
{
    TFeatureType type;
    // "Best_Fit_Validation:Version=1:Type=Plane",
    // "Minimax_Validation:Version=1:Type=Plane:Criterion=MinimumZone"
    const char *header;
    const char *keyword; // "plane": compared without regard to case
    int keyword_length;
    int field_count; // of a feature record
    // Field (1-based) holding the diameter (a torus' major diameter, a cone's
    // diameter at its point), 0 when the type has none.
    int diameter_field;
    bool has_direction;
    // Field (1-based) of a cone's apex angle (included, degrees) and of a
    // torus' minor diameter; 0 for the other types.
    int angle_field;
    int minor_diameter_field;
    const char *label; // "PLN_": the feature's label is this and its number
    const char *name;  // "plane", in messages
    // What the stated reference minimises: Best_Fit_Validation files are
    // least squares, Minimax_Validation files name their criterion.
    TCriterion criterion = TCriterion::LEAST_SQUARES;
    // Field (1-based) of the first of the three components of the normal of
    // the plane a minimax line lies in; 0 for the other types.
    int plane_normal_field = 0;
    // Field (1-based) of a minimax file's F: the zone's width for the
    // minimum zone, the range of the distances otherwise; 0 for least squares.
    int form_field = 0;
};

// The least-squares file type of a feature type.
const TValidationType &Validation_Type(TFeatureType type);

// The file type of a feature type and criterion; null where there is none
// (a circumscribed plane, a minimax cone or torus).
const TValidationType *Find_Validation_Type(TFeatureType type, TCriterion criterion);

// "PLN_7", "CIR_-3": the label by which programs and reports name a feature.
QString Feature_Label(const TValidationType &type, qint32 feature_number);

// Something the window passes over in silence but a batch user wants to
// hear about. Reporting it never changes what is read.
struct TValidationDiagnostic
{
    enum TKind
    {
        NOT_A_VALIDATION_FILE,
        SURPLUS_LINE,
        FEATURE_FIELD_COUNT,
        FEATURE_ABANDONED,
        FEATURE_UNFINISHED,
        FEATURE_WITHOUT_POINTS,
        POINT_FIELD_COUNT,
        NOT_A_NUMBER,
        CARRIAGE_RETURNS_ONLY,
        // A cone record without an apex, ignored as a whole.
        CONE_WITHOUT_APEX,
        // A feature of fewer points than its type's fit needs, converted all
        // the same.
        FEATURE_TOO_FEW_POINTS
    };

    TKind kind;
    int line_number; // 1-based line of the file the diagnostic is about
    QString message;
};

// A valid feature record, as read.
struct TFeatureRecord
{
    static constexpr int MAX_VALUES = 10;

    int line_number;
    qint32 number;      // field 1
    qint32 point_count; // field 2
    // Fields 3 and on: X, Y, Z, then I, J, K, a minimax line's plane normal,
    // the apex angle, the diameters and the trailing value as the type has
    // them.
    int value_count;
    double values[MAX_VALUES];
    // The same fields as written, within the normalised line; valid only
    // during the call that hands the record over.
    TField value_fields[MAX_VALUES];
};

// Told, in file order, what a validation file holds. The reader keeps the
// grouping of points into features; the handler decides what to make of it.
class TValidationHandler
{
public:
    virtual ~TValidationHandler() = default;

    // The header line fixed the file type.
    virtual void Header(const TValidationType &type) { (void)type; }
    // A valid feature record; a feature still open is abandoned by it.
    virtual void Feature(const TFeatureRecord &record) = 0;
    // An accepted point of the open feature, numbered from 1.
    virtual void Point(qint32 feature_number, qint32 point_number, const TVector3 &point) = 0;
    // The open feature's last point has been read.
    virtual void Feature_Complete() = 0;
    // A line that is neither a comment nor a feature record while no
    // feature is open.
    virtual void Surplus_Line() = 0;
    // The end of a file whose header was seen.
    virtual void End(const TValidationType &type) { (void)type; }

    // Asked once per file: messages are only composed for a handler that
    // wants them.
    virtual bool Wants_Diagnostics() const { return false; }
    virtual void Diagnostic(const TValidationDiagnostic &diagnostic) { (void)diagnostic; }
};

// Reads the whole content once, line by line, and tells the handler what it
// finds. A file whose first line that is not a comment is no header ends
// the reading there, with nothing but a diagnostic.
void Read_Validation_File(const QByteArray &content, TValidationHandler &handler);

// A field's text for a message: a long one is cut to its first 40
// characters and "...", so that a huge field never makes a huge message.
QString Quoted_Field(const QString &text);
