#pragma once

// Properties every reading of results must have, whatever the content:
// shared by fuzz_results and the test that replays its corpus and findings.

#include "results/results_reading.h"

#include <QByteArray>
#include <QSet>

#include <cmath>
#include <string>

namespace tessaline_results_invariants {

// Every type, labels in mixed case, two that differ in case only, and one
// with a comma for the quoted labels of a CSV file.
inline const std::vector<TReferenceLabel> &Reference()
{
    static const std::vector<TReferenceLabel> reference = {
        {QStringLiteral("PLN_1"), TFeatureType::PLANE},
        {QStringLiteral("Lin_2"), TFeatureType::LINE},
        {QStringLiteral("cir_-3"), TFeatureType::CIRCLE},
        {QStringLiteral("SPH_4"), TFeatureType::SPHERE},
        {QStringLiteral("two_5"), TFeatureType::PLANE},
        {QStringLiteral("TWO_5"), TFeatureType::SPHERE},
        {QStringLiteral("SPH,6"), TFeatureType::SPHERE},
        {QStringLiteral("CYL_7"), TFeatureType::CYLINDER},
        {QStringLiteral("Con_8"), TFeatureType::CONE},
        {QStringLiteral("TOR_9"), TFeatureType::TORUS},
    };
    return reference;
}

inline bool Finite(const TVector3 &v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Non-negative, possibly infinite, never NaN.
inline bool Resolution(double r)
{
    return r >= 0;
}

inline std::string Where(const TTestedFeature &feature)
{
    return " (" + feature.label.toStdString() + " on line " + std::to_string(feature.line_number) +
           ")";
}

// An empty text when the reading has every property, otherwise what is wrong.
inline std::string Check_Message(const QString &message)
{
    // Quoted fields are cut to 40 characters, so no message is long.
    if (message.isEmpty() || message.size() > 400) {
        return "message of " + std::to_string(message.size()) + " characters";
    }
    if (message.at(0).isUpper() || message.endsWith(QLatin1Char('.'))) {
        return "message not in the house style: " + message.toStdString();
    }
    for (const QChar c : message) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            return "control character in message: " + message.toStdString();
        }
    }
    return std::string();
}

inline std::string Check_Reading(const QByteArray &content,
                                 const std::vector<TReferenceLabel> &reference,
                                 const TResultsReading &reading)
{
    // The XML reader also counts a carriage return alone as a line end.
    const int lines = content.count('\n') + content.count('\r') + 1;
    const bool qif = reading.format == TResultsFormat::QIF;
    if (reading.failure != TResultsFailure::NONE) {
        if (!qif) {
            return "a failure reading " + Results_Format_Name(reading).toStdString();
        }
        if (!reading.features.empty() || !reading.warnings.empty()) {
            return "features or warnings with a failure";
        }
        if (reading.failure_line < 0 || reading.failure_line > lines) {
            return "failure line " + std::to_string(reading.failure_line) + " outside 0.." +
                   std::to_string(lines);
        }
        return Check_Message(reading.failure_message);
    }
    int previous = 0;
    for (const TResultsWarning &warning : reading.warnings) {
        if (warning.line_number < 1 || warning.line_number > lines) {
            return "warning line " + std::to_string(warning.line_number) + " outside 1.." +
                   std::to_string(lines);
        }
        if (warning.line_number < previous) {
            return "warning on line " + std::to_string(warning.line_number) + " after line " +
                   std::to_string(previous);
        }
        previous = warning.line_number;
        const std::string message = Check_Message(warning.message);
        if (!message.empty()) {
            return "warning: " + message;
        }
    }

    QSet<QString> labels;
    previous = 0;
    for (const TTestedFeature &feature : reading.features) {
        const TReferenceLabel *match = nullptr;
        for (const TReferenceLabel &candidate : reference) {
            if (candidate.label == feature.label) {
                match = &candidate;
            }
        }
        if (!match) {
            return "feature label not in the reference" + Where(feature);
        }
        if (labels.contains(feature.label)) {
            return "two features for one reference label" + Where(feature);
        }
        labels.insert(feature.label);
        if (feature.line_number < 1 || feature.line_number > lines) {
            return "feature line outside 1.." + std::to_string(lines) + Where(feature);
        }
        // One statement or row starts on each line at most; QIF elements
        // may share a line.
        if (feature.line_number < previous || (!qif && feature.line_number == previous)) {
            return "features out of line order" + Where(feature);
        }
        previous = feature.line_number;
        if (!feature.usable) {
            // Nothing of a result that cannot be used is passed on.
            if (feature.position.x != 0 || feature.position.y != 0 || feature.position.z != 0 ||
                feature.direction.x != 0 || feature.direction.y != 0 || feature.direction.z != 0 ||
                feature.diameter != 0 || feature.position_resolution != 0 ||
                feature.direction_resolution != 0 || feature.diameter_resolution != 0 ||
                feature.apex_angle != 0 || feature.apex_angle_resolution != 0 ||
                feature.minor_diameter != 0 || feature.minor_diameter_resolution != 0 ||
                feature.has_form || feature.form != 0 || feature.form_resolution != 0) {
                return "values in an unusable feature" + Where(feature);
            }
            continue;
        }
        if (!Finite(feature.position) || !Finite(feature.direction) ||
            !std::isfinite(feature.diameter) || !std::isfinite(feature.apex_angle) ||
            !std::isfinite(feature.minor_diameter) || !std::isfinite(feature.form)) {
            return "value not finite" + Where(feature);
        }
        if (!feature.has_form && (feature.form != 0 || feature.form_resolution != 0)) {
            return "a form without has_form" + Where(feature);
        }
        if (!Resolution(feature.position_resolution) || !Resolution(feature.direction_resolution) ||
            !Resolution(feature.diameter_resolution) ||
            !Resolution(feature.apex_angle_resolution) ||
            !Resolution(feature.minor_diameter_resolution) ||
            !Resolution(feature.form_resolution)) {
            return "negative or NaN resolution" + Where(feature);
        }
        const TFeatureType type = match->type;
        const bool has_direction = type != TFeatureType::SPHERE;
        const bool has_diameter = type != TFeatureType::PLANE && type != TFeatureType::LINE;
        const bool has_angle = type == TFeatureType::CONE;
        const bool has_minor = type == TFeatureType::TORUS;
        if ((!has_direction && (feature.direction.x != 0 || feature.direction.y != 0 ||
                                feature.direction.z != 0 || feature.direction_resolution != 0)) ||
            (!has_diameter && (feature.diameter != 0 || feature.diameter_resolution != 0)) ||
            (!has_angle && (feature.apex_angle != 0 || feature.apex_angle_resolution != 0)) ||
            (!has_minor &&
             (feature.minor_diameter != 0 || feature.minor_diameter_resolution != 0))) {
            return "value the type does not have" + Where(feature);
        }
        // A cone that can be used has an included angle a cone can have.
        if (has_angle && !(feature.apex_angle > 0 && feature.apex_angle < 3.14159265358979323846)) {
            return "cone angle outside (0, pi)" + Where(feature);
        }
    }
    return std::string();
}

inline bool Same(const TResultsReading &a, const TResultsReading &b)
{
    if (a.failure != TResultsFailure::NONE || b.failure != TResultsFailure::NONE) {
        // How far a document that cannot be used was read before the XML
        // reader stopped may move too: its decoding runs ahead of it.
        return a.format == b.format && a.failure == b.failure;
    }
    if (a.format != b.format || a.qif_version != b.qif_version || a.qif_results != b.qif_results ||
        a.features.size() != b.features.size() || a.warnings.size() != b.warnings.size()) {
        return false;
    }
    auto same_vector = [](const TVector3 &u, const TVector3 &v) {
        return u.x == v.x && u.y == v.y && u.z == v.z;
    };
    for (size_t n = 0; n < a.features.size(); ++n) {
        const TTestedFeature &f = a.features[n];
        const TTestedFeature &g = b.features[n];
        if (f.label != g.label || f.line_number != g.line_number || f.usable != g.usable ||
            !same_vector(f.position, g.position) || !same_vector(f.direction, g.direction) ||
            f.diameter != g.diameter || f.position_resolution != g.position_resolution ||
            f.direction_resolution != g.direction_resolution ||
            f.diameter_resolution != g.diameter_resolution || f.apex_angle != g.apex_angle ||
            f.apex_angle_resolution != g.apex_angle_resolution ||
            f.minor_diameter != g.minor_diameter ||
            f.minor_diameter_resolution != g.minor_diameter_resolution ||
            f.has_form != g.has_form || f.form != g.form ||
            f.form_resolution != g.form_resolution) {
            return false;
        }
    }
    for (size_t n = 0; n < a.warnings.size(); ++n) {
        if (a.warnings[n].line_number != b.warnings[n].line_number ||
            a.warnings[n].message != b.warnings[n].message) {
            return false;
        }
    }
    return true;
}

// Reads the content and checks the reading, then checks that CR LF line
// ends, a byte-order mark and a final line feed change nothing.
inline std::string Check_Content(const QByteArray &content)
{
    const std::vector<TReferenceLabel> &reference = Reference();
    const TResultsReading reading = Read_Results(content, reference);
    std::string result = Check_Reading(content, reference, reading);
    if (!result.empty()) {
        return result;
    }
    if (reading.format == TResultsFormat::QIF) {
        // The second of several MeasurementResults, or a usage error.
        TResultsOptions second;
        second.qif_results = 2;
        const TResultsReading other = Read_Results(content, reference, second);
        result = Check_Reading(content, reference, other);
        if (!result.empty()) {
            return "with MeasurementResults 2: " + result;
        }
        const bool beyond = reading.failure == TResultsFailure::NONE && reading.qif_results < 2;
        if ((other.failure == TResultsFailure::NO_SUCH_QIF_RESULTS) != beyond ||
            (reading.failure != TResultsFailure::NONE &&
             other.failure_message != reading.failure_message)) {
            return "MeasurementResults 2 of " + std::to_string(reading.qif_results) +
                   " read wrongly";
        }
    }
    if (!content.contains('\r')) {
        QByteArray crlf = content;
        crlf.replace("\n", "\r\n");
        if (!Same(reading, Read_Results(crlf, reference))) {
            return "CR LF line ends read differently";
        }
    }
    if (!content.startsWith("\xef\xbb\xbf")) {
        if (!Same(reading, Read_Results("\xef\xbb\xbf" + content, reference))) {
            return "a byte-order mark reads differently";
        }
    }
    if (!content.isEmpty() && !content.endsWith('\n')) {
        if (!Same(reading, Read_Results(content + '\n', reference))) {
            return "a final line feed reads differently";
        }
    }
    return std::string();
}

} // namespace tessaline_results_invariants
