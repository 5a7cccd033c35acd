#pragma once

#include "conversion/preferences.h"
#include "core/vector3.h"
#include "validation/validation_reader.h"

#include <QByteArray>
#include <QLatin1String>
#include <QString>

#include <functional>
#include <vector>

// The widget-free half of the main window: the program text buffer, the
// features collected from a validation file, and every step that turns the
// file into DMIS program text. The window derives from it; the converter,
// the tests and the benchmarks use it without a display.
class TValidationConverter
{
public:
    // One feature to construct from its points.
    struct TConstructionFeatures
    {
        QString name;
        // A cone's apex, where DMIS places a cone; the stated position of
        // every other type.
        TVector3 xyz;
        TVector3 ijk;
        // A cone's is its diameter at the stated point, as read; a torus'
        // its major diameter.
        double diameter = 0;
        std::vector<QString> point_names;
        // A cone's included angle in degrees, as read.
        double apex_angle = 0;
        // A torus' diameter of the tube.
        double minor_diameter = 0;
        // A minimax line's: the normal of the plane it lies in, as read.
        TVector3 plane_normal;
        // A minimax file's F, as read.
        double form = 0;
    };

    // Something the window passes over in silence but a batch user wants to
    // hear about. Reporting it never changes the program text.
    using TDiagnostic = TValidationDiagnostic;

    void Add_Text(const QString &line);
    void Add_Text(QLatin1String line);
    void Clear_Text();

    void Create_Header();
    void Create_Footer();
    // Asks the inspection software to write the actual of every constructed
    // feature to its output file, so that its fits can be graded.
    void Create_Fit_Outputs();
    void Process_Validation_File(const QByteArray &content);

    void Create_Constructed_Planes();
    void Create_Constructed_Lines();
    void Create_Constructed_Circles();
    void Create_Constructed_Spheres();
    void Create_Constructed_Cylinders();
    void Create_Constructed_Cones();
    void Create_Constructed_Tori();

    // "TOL/FLAT": the form tolerance the file's features are stated with;
    // null where there is none (least squares, circumscribed and inscribed
    // features, spheres: DMIS has no sphericity).
    const char *Form_Tolerance() const;

    // Header, body and footer of one file, as the Open command produces them,
    // with the fit outputs before the footer when output_fits is set.
    void Convert(const QByteArray &content);

    // Hands the program text not yet handed over to text_sink, if one is set.
    void Flush_Text();

    TPreferences preferences;
    // Left unset by the window, whose program stays exactly as it was.
    bool output_fits = false;
    // The type of the file being converted, null before its header: a
    // minimax file selects its association and states its features' forms.
    const TValidationType *file_type = nullptr;
    QString dmis_text;
    std::vector<TConstructionFeatures> construction_features;

    // Left empty by the window; the converter installs one to print warnings.
    std::function<void(const TDiagnostic &)> diagnostic_handler;

    // Left empty by the window, which shows the whole program. When set, the
    // program text goes to it instead of dmis_text, as Latin-1 bytes in
    // pieces of about TEXT_PIECE_SIZE, so that a batch conversion of a large
    // scan never holds the whole program, nor widens it to UTF-16 only to
    // narrow it again. The pieces, joined, are exactly the Latin-1 form of
    // the text the window would hold.
    std::function<void(const QByteArray &piece)> text_sink;
    static constexpr int TEXT_PIECE_SIZE = 1 << 20;

private:
    void Sink_Line_Added()
    {
        sink_text += '\n';
        if (sink_text.size() >= TEXT_PIECE_SIZE)
            Flush_Text();
    }

    QByteArray sink_text;
};
