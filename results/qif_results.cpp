#include "results/qif_results.h"

#include "results/feature_forms.h"
#include "results/qif_document.h"
#include "results/result_fields.h"

#include <QRegularExpression>
#include <QSet>

#include <cmath>

namespace {

// A length unit by the name values give in their linearUnit attribute.
struct TDeclaredUnit
{
    bool usable = false;
    TLengthConversion conversion;
    QString reason; // why it cannot be used
};

// An angular unit by the name values give in their angularUnit attribute.
struct TDeclaredAngle
{
    bool usable = false;
    double radians = 1;
    QString reason;
};

class TQifReader
{
public:
    TQifReader(const TQifDocument &document, TCriterion criterion, TResultsCollector &collector)
        : document_(document), criterion_(criterion), collector_(collector)
    {
    }

    // False, with the reason, when the primary length or angular unit cannot
    // be used.
    bool Units(int &line, QString &reason);
    void Measurement(const TQifMeasurement &measurement);
    // After every measurement: the form a characteristic states for one.
    void Form(const TQifForm &form);

private:
    // Warns, once for each reference feature, about a fit other than the
    // criterion's.
    void Check_Algorithm(const TQifAlgorithm &algorithm, int index);

    bool Label(const TQifMeasurement &measurement, QString &label);
    // Warns about every problem of the value and says whether it can be used.
    bool Check(const TQifValue &value, const char *element, const QString &label);
    // The value's numbers as a point or vector; a length in millimetres.
    bool Vector(const TQifValue &value, const char *element, const QString &label, bool length,
                TVector3 &vector, double &resolution);
    bool Length(const TQifValue &value, const char *element, const QString &label,
                double &millimetres, double &resolution);
    bool Conversion(const TQifValue &value, const char *element, const QString &label,
                    TLengthConversion &conversion);
    // A cone's included angle in radians from its HalfAngle or FullAngle.
    bool Angle(const TQifMeasurement &measurement, const QString &label, double &radians,
               double &resolution);

    const TQifDocument &document_;
    const TCriterion criterion_;
    TResultsCollector &collector_;
    // The results of the measurements by their ids: where the collector
    // keeps each, or -1 for one that is not matched to the reference.
    QHash<qint64, int> measured_;
    QSet<int> algorithm_warned_; // reference features warned about their fit
    TLengthConversion primary_;
    QHash<QString, TDeclaredUnit> declared_;
    bool metres_assumed_ = false; // and said so
    double primary_radians_ = 1;  // radians, as QIF defines for a file without an angular unit
    QHash<QString, TDeclaredAngle> declared_angles_;
    bool radians_assumed_ = false;
};

bool TQifReader::Units(int &line, QString &reason)
{
    if (document_.has_primary_unit) {
        line = document_.primary_unit.line_number;
        if (!Length_Conversion(document_.primary_unit, primary_, reason)) {
            reason += QStringLiteral("; no length of the file can be read");
            return false;
        }
        declared_.insert(document_.primary_unit.name, TDeclaredUnit{true, primary_, {}});
    }
    for (const TQifLinearUnit &unit : document_.other_units) {
        if (!declared_.contains(unit.name)) {
            TDeclaredUnit declared;
            declared.usable = Length_Conversion(unit, declared.conversion, declared.reason);
            declared_.insert(unit.name, declared);
        }
    }
    if (document_.has_primary_angular_unit) {
        line = document_.primary_angular_unit.line_number;
        if (!Angle_Conversion(document_.primary_angular_unit, primary_radians_, reason)) {
            reason += QStringLiteral("; no angle of the file can be read");
            return false;
        }
        declared_angles_.insert(document_.primary_angular_unit.name,
                                TDeclaredAngle{true, primary_radians_, {}});
    }
    for (const TQifLinearUnit &unit : document_.other_angular_units) {
        if (!declared_angles_.contains(unit.name)) {
            TDeclaredAngle declared;
            declared.usable = Angle_Conversion(unit, declared.radians, declared.reason);
            declared_angles_.insert(unit.name, declared);
        }
    }
    return true;
}

bool TQifReader::Label(const TQifMeasurement &measurement, QString &label)
{
    if (measurement.has_name && !measurement.name.isEmpty()) {
        label = measurement.name;
        return true;
    }
    const int line = measurement.line_number;
    const QString element = Measurement_Element(measurement.type, document_.major_version);
    if (!measurement.has_item_id) {
        collector_.Warn(line,
                        QStringLiteral("the %1 has neither a FeatureName nor a FeatureItemId: "
                                       "it cannot be matched to the reference")
                            .arg(element));
        return false;
    }
    const QString id = Quoted(measurement.item_id);
    if (measurement.item_id_elsewhere) {
        collector_.Warn(line, QStringLiteral("the FeatureItemId %1 of the %2 refers to another "
                                             "document (xId): it cannot be matched to the "
                                             "reference")
                                  .arg(id, element));
        return false;
    }
    const auto item = document_.item_names.constFind(measurement.item_id);
    if (item == document_.item_names.constEnd()) {
        collector_.Warn(line, QStringLiteral("the FeatureItemId %1 of the %2 is the id of no "
                                             "feature item: it cannot be matched to the reference")
                                  .arg(id, element));
        return false;
    }
    if (item->isEmpty()) {
        collector_.Warn(line, QStringLiteral("feature item %1 has no FeatureName: the %2 cannot be "
                                             "matched to the reference")
                                  .arg(id, element));
        return false;
    }
    label = *item;
    return true;
}

bool TQifReader::Check(const TQifValue &value, const char *element, const QString &label)
{
    for (const QString &problem : value.problems) {
        collector_.Warn(
            value.line_number,
            QStringLiteral("the %1 of %2: %3").arg(QLatin1String(element), Quoted(label), problem));
    }
    return value.usable;
}

bool TQifReader::Conversion(const TQifValue &value, const char *element, const QString &label,
                            TLengthConversion &conversion)
{
    if (!value.has_unit) {
        conversion = primary_;
        if (!document_.has_primary_unit && !metres_assumed_) {
            // A millimetre file that leaves its units out would otherwise
            // fail every feature by a factor of 1000 without a hint.
            metres_assumed_ = true;
            collector_.Warn(value.line_number,
                            QStringLiteral("the file declares no length unit "
                                           "(FileUnits/PrimaryUnits/LinearUnit): lengths are read "
                                           "in metres, as QIF defines"));
        }
        return true;
    }
    const auto declared = declared_.constFind(value.unit);
    QString problem;
    if (declared == declared_.constEnd()) {
        problem =
            QStringLiteral("its unit %1 is not declared in FileUnits").arg(Quoted(value.unit));
    } else if (!declared->usable) {
        problem = declared->reason;
    } else {
        conversion = declared->conversion;
        return true;
    }
    collector_.Warn(
        value.line_number,
        QStringLiteral("the %1 of %2: %3").arg(QLatin1String(element), Quoted(label), problem));
    return false;
}

bool TQifReader::Vector(const TQifValue &value, const char *element, const QString &label,
                        bool length, TVector3 &vector, double &resolution)
{
    if (!Check(value, element, label)) {
        return false;
    }
    TLengthConversion conversion{1, 0};
    if (length && !Conversion(value, element, label, conversion)) {
        return false;
    }
    double numbers[3];
    resolution = 0;
    for (int n = 0; n < 3; ++n) {
        numbers[n] = (value.numbers[n] + conversion.offset) * conversion.millimetres;
        if (!Computable(numbers[n])) {
            collector_.Warn(value.line_number, QStringLiteral("the %1 of %2: number %3 is %4")
                                                   .arg(QLatin1String(element), Quoted(label))
                                                   .arg(n + 1)
                                                   .arg(Too_Large(length ? " millimetres" : "")));
            return false;
        }
        resolution = qMax(resolution, value.resolutions[n] * conversion.millimetres);
    }
    vector = TVector3(numbers[0], numbers[1], numbers[2]);
    return true;
}

bool TQifReader::Angle(const TQifMeasurement &measurement, const QString &label, double &radians,
                       double &resolution)
{
    const bool half = measurement.half_angle;
    const TQifValue &value = measurement.angle;
    const char *element = half ? "HalfAngle" : "FullAngle";
    if (!Check(value, element, label)) {
        return false;
    }
    double factor = primary_radians_;
    if (value.has_unit) {
        const auto declared = declared_angles_.constFind(value.unit);
        QString problem;
        if (declared == declared_angles_.constEnd()) {
            problem =
                QStringLiteral("its unit %1 is not declared in FileUnits").arg(Quoted(value.unit));
        } else if (!declared->usable) {
            problem = declared->reason;
        } else {
            factor = declared->radians;
        }
        if (!problem.isEmpty()) {
            collector_.Warn(value.line_number,
                            QStringLiteral("the %1 of %2: %3")
                                .arg(QLatin1String(element), Quoted(label), problem));
            return false;
        }
    } else if (!document_.has_primary_angular_unit && !radians_assumed_) {
        // Files that mean degrees and say nothing would otherwise be read
        // 57 times too wide without a hint.
        radians_assumed_ = true;
        collector_.Warn(value.line_number,
                        QStringLiteral("the file declares no angular unit "
                                       "(FileUnits/PrimaryUnits/AngularUnit): angles are read in "
                                       "radians, as QIF defines"));
    }
    const double times = half ? 2 : 1;
    radians = value.numbers[0] * factor * times;
    resolution = value.resolutions[0] * factor * times;
    if (!Computable(radians)) {
        collector_.Warn(value.line_number,
                        QStringLiteral("the %1 of %2: %3")
                            .arg(QLatin1String(element), Quoted(label), Too_Large(" radians")));
        return false;
    }
    return Usable_Cone_Angle(
        radians, QStringLiteral("the %1 of %2").arg(QLatin1String(element), Quoted(label)),
        value.line_number, collector_);
}

bool TQifReader::Length(const TQifValue &value, const char *element, const QString &label,
                        double &millimetres, double &resolution)
{
    TLengthConversion conversion;
    if (!Check(value, element, label) || !Conversion(value, element, label, conversion)) {
        return false;
    }
    // A diameter is a difference of positions: the offset cancels out.
    millimetres = value.numbers[0] * conversion.millimetres;
    resolution = value.resolutions[0] * conversion.millimetres;
    if (!Computable(millimetres)) {
        collector_.Warn(value.line_number,
                        QStringLiteral("the %1 of %2: %3")
                            .arg(QLatin1String(element), Quoted(label), Too_Large(" millimetres")));
        return false;
    }
    return true;
}

void TQifReader::Measurement(const TQifMeasurement &measurement)
{
    // Only characteristics look measurements up by their ids.
    const bool by_id = measurement.id >= 0 && !document_.forms.empty();
    if (by_id) {
        measured_.insert(measurement.id, -1);
    }
    QString label;
    if (!Label(measurement, label)) {
        return;
    }
    const int line = measurement.line_number;
    const QByteArray written = label.toUtf8();
    const int index =
        collector_.Match(TField{written.constData(), written.constData() + written.size()}, line);
    if (index < 0) {
        return;
    }
    const TFeatureType type = collector_.Reference(index).type;
    Check_Algorithm(measurement.algorithm, index);
    TTestedFeature feature;
    feature.line_number = line;
    if (measurement.type != type) {
        collector_.Warn(line,
                        QStringLiteral("result for %1 is a %2, the reference feature is %3")
                            .arg(Quoted(label),
                                 Measurement_Element(measurement.type, document_.major_version),
                                 QLatin1String(Type_Name(type))));
        const int position = collector_.Add(index, feature);
        if (by_id) {
            measured_.insert(measurement.id, position);
        }
        return;
    }

    // Every value is looked at, so that every problem is told at once.
    const auto absent = [&](const char *element) {
        collector_.Warn(
            line, QStringLiteral("%1 has no %2, which %3 needs")
                      .arg(Quoted(label), QLatin1String(element), QLatin1String(Type_Name(type))));
        return false;
    };
    const auto point = [&](const TQifValue &value, const char *element) {
        return value.present ? Vector(value, element, label, true, feature.position,
                                      feature.position_resolution)
                             : absent(element);
    };
    const auto direction = [&](const TQifValue &value, const char *element) {
        return value.present ? Vector(value, element, label, false, feature.direction,
                                      feature.direction_resolution)
                             : absent(element);
    };
    const auto length = [&](const TQifValue &value, const char *element, double &millimetres,
                            double &resolution) {
        return value.present ? Length(value, element, label, millimetres, resolution)
                             : absent(element);
    };
    bool usable = true;
    switch (type) {
    case TFeatureType::PLANE:
    case TFeatureType::CIRCLE:
    case TFeatureType::SPHERE:
        usable = point(measurement.location, "Location");
        if (type != TFeatureType::SPHERE) {
            usable = direction(measurement.normal, "Normal") && usable;
        }
        if (type != TFeatureType::PLANE) {
            usable = length(measurement.diameter, "Diameter", feature.diameter,
                            feature.diameter_resolution) &&
                     usable;
        }
        break;
    case TFeatureType::LINE:
        usable = point(measurement.location, "Location");
        if (!measurement.direction.present && measurement.normal.present) {
            collector_.Warn(line, QStringLiteral("%1 has no Direction; its Normal is taken as the "
                                                 "direction, where some writers put it")
                                      .arg(Quoted(label)));
            usable = direction(measurement.normal, "Normal") && usable;
        } else {
            usable = direction(measurement.direction, "Direction") && usable;
        }
        break;
    case TFeatureType::CYLINDER:
    case TFeatureType::CONE:
        if (!measurement.has_axis) {
            usable = absent("Axis");
        } else {
            usable = point(measurement.location, "Axis/AxisPoint");
            usable = direction(measurement.direction, "Axis/Direction") && usable;
        }
        usable = length(measurement.diameter, "Diameter", feature.diameter,
                        feature.diameter_resolution) &&
                 usable;
        if (type == TFeatureType::CONE) {
            usable = (measurement.angle.present ? Angle(measurement, label, feature.apex_angle,
                                                        feature.apex_angle_resolution)
                                                : absent("HalfAngle or FullAngle")) &&
                     usable;
        }
        break;
    case TFeatureType::TORUS:
        usable = point(measurement.location, "Location");
        usable = direction(measurement.direction, "AxisVector") && usable;
        usable = length(measurement.diameter, "MajorDiameter", feature.diameter,
                        feature.diameter_resolution) &&
                 usable;
        usable = length(measurement.minor_diameter, "MinorDiameter", feature.minor_diameter,
                        feature.minor_diameter_resolution) &&
                 usable;
        break;
    }
    if (!usable) {
        // Nothing of a result that cannot be used is passed on.
        feature = TTestedFeature();
        feature.line_number = line;
    }
    feature.usable = usable;
    const int position = collector_.Add(index, feature);
    if (by_id) {
        measured_.insert(measurement.id, position);
    }
}

void TQifReader::Check_Algorithm(const TQifAlgorithm &algorithm, int index)
{
    if (!algorithm.present || algorithm.name.isEmpty() || algorithm_warned_.contains(index)) {
        return;
    }
    // DEFAULT and UNDEFINED name no algorithm.
    const QString &name = algorithm.name;
    const auto is = [&name](const char *known) {
        return name.compare(QLatin1String(known), Qt::CaseInsensitive) == 0;
    };
    if (is(Qif_Algorithm(criterion_)) || is("DEFAULT") || is("UNDEFINED")) {
        return;
    }
    algorithm_warned_.insert(index);
    // The result is read all the same: the grading shows what the other
    // fit is off by.
    collector_.Warn(
        algorithm.line_number,
        QStringLiteral("the fit of %1 is %2, not the file's %3; it is graded all the same")
            .arg(Quoted(collector_.Reference(index).label), Quoted(name).mid(1).chopped(1),
                 Criterion_Words(criterion_)));
}

void TQifReader::Form(const TQifForm &form)
{
    const QString element = Form_Element(form.type, document_.major_version);
    const QString ids = Feature_Ids_Element(document_.major_version);
    const int line = form.line_number;
    if (form.id_count == 0) {
        collector_.Warn(line, QStringLiteral("the %1 has no %2: its form belongs to no feature and "
                                             "is not read")
                                  .arg(element, ids));
        return;
    }
    if (form.id_count > 1) {
        // A zone common to several features is no one feature's form.
        collector_.Warn(line, QStringLiteral("the %1 is of %2 features together: it is no one "
                                             "feature's form and is not read")
                                  .arg(element)
                                  .arg(form.id_count));
        return;
    }
    const auto found = measured_.constFind(form.first_id);
    if (found == measured_.constEnd()) {
        collector_.Warn(line, QStringLiteral("the %1 is of %2 %3, which is no measured feature of "
                                             "these results: it is not read")
                                  .arg(element, ids,
                                       Quoted(form.first_id < 0 ? form.first_id_text
                                                                : QString::number(form.first_id))));
        return;
    }
    // A measurement not matched to the reference has been warned about.
    if (*found < 0) {
        return;
    }
    TTestedFeature &feature = collector_.At(*found);
    const QString &label = feature.label;
    const int index = collector_.Find(label);
    Check_Algorithm(form.algorithm, index);
    const TFeatureType type = collector_.Reference(index).type;
    if (type != form.type) {
        const QString own = Form_Element(type, document_.major_version);
        collector_.Warn(line,
                        QStringLiteral("the %1 of %2 is not the form of %3%4: it is not read")
                            .arg(element, Quoted(label), QLatin1String(Type_Name(type)),
                                 own.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(own)));
        return;
    }
    if (!form.value.present) {
        collector_.Warn(line, QStringLiteral("the %1 of %2 has no Value: no form is read")
                                  .arg(element, Quoted(label)));
        return;
    }
    double millimetres = 0;
    double resolution = 0;
    if (!Length(form.value, "Value", label, millimetres, resolution) || !feature.usable) {
        return;
    }
    feature.has_form = true;
    feature.form = millimetres;
    feature.form_resolution = resolution;
}

} // namespace

bool Starts_With_Markup(const char *begin, const char *end)
{
    for (const char *p = begin; p != end; ++p) {
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') {
            return *p == '<';
        }
    }
    return false;
}

int Read_Qif_Results(const char *begin, const char *end, int wanted, TCriterion criterion,
                     TResultsCollector &collector, TResultsReading &reading)
{
    const TQifDocument document = Scan_Qif_Document(begin, end, wanted);
    // The version as the file states it, unless that is no version number.
    static const QRegularExpression version_number(QStringLiteral("^[0-9][0-9A-Za-z.-]{0,19}$"));
    reading.qif_version = version_number.match(document.version).hasMatch()
                              ? document.version
                              : QString::number(document.major_version);
    reading.qif_results = document.measurement_results;
    const auto fail = [&reading](TResultsFailure failure, int line, const QString &message) {
        reading.failure = failure;
        reading.failure_line = line;
        reading.failure_message = message;
        return 0;
    };
    if (document.failed) {
        return fail(TResultsFailure::UNUSABLE, document.failure_line, document.failure);
    }
    TQifReader reader(document, criterion, collector);
    int line = 0;
    QString reason;
    if (!reader.Units(line, reason)) {
        return fail(TResultsFailure::UNUSABLE, line, reason);
    }
    if (wanted > document.measurement_results) {
        return fail(TResultsFailure::NO_SUCH_QIF_RESULTS, 0,
                    QStringLiteral("asked for MeasurementResults %1; the file holds %2")
                        .arg(wanted)
                        .arg(document.measurement_results));
    }
    if (wanted == 0 && document.measurement_results > 1) {
        collector.Warn(document.first_results_line,
                       QStringLiteral("the file holds %1 MeasurementResults; the first is graded "
                                      "(--qif-results N grades the N-th)")
                           .arg(document.measurement_results));
    }
    for (const TQifMeasurement &measurement : document.measurements) {
        reader.Measurement(measurement);
    }
    for (const TQifForm &form : document.forms) {
        reader.Form(form);
    }
    return static_cast<int>(document.measurements.size());
}
