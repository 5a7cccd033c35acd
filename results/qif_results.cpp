#include "results/qif_results.h"

#include "results/qif_document.h"
#include "results/result_fields.h"

#include <QRegularExpression>

#include <cmath>

namespace {

// A length unit by the name values give in their linearUnit attribute.
struct TDeclaredUnit
{
    bool usable = false;
    TLengthConversion conversion;
    QString reason; // why it cannot be used
};

class TQifReader
{
public:
    TQifReader(const TQifDocument &document, TResultsCollector &collector)
        : document_(document), collector_(collector)
    {
    }

    // False, with the reason, when the primary length unit cannot be used.
    bool Units(int &line, QString &reason);
    void Measurement(const TQifMeasurement &measurement);

private:
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

    const TQifDocument &document_;
    TResultsCollector &collector_;
    TLengthConversion primary_;
    QHash<QString, TDeclaredUnit> declared_;
};

bool TQifReader::Units(int &line, QString &reason)
{
    if (document_.has_primary_unit) {
        line = document_.primary_unit.line_number;
        if (!Length_Conversion(document_.primary_unit, primary_, reason)) {
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
        if (!std::isfinite(numbers[n])) {
            collector_.Warn(
                value.line_number,
                QStringLiteral("the %1 of %2: number %3 is beyond the range of a number "
                               "in millimetres")
                    .arg(QLatin1String(element), Quoted(label))
                    .arg(n + 1));
            return false;
        }
        resolution = qMax(resolution, value.resolutions[n] * conversion.millimetres);
    }
    vector = TVector3(numbers[0], numbers[1], numbers[2]);
    return true;
}

bool TQifReader::Length(const TQifValue &value, const char *element, const QString &label,
                        double &millimetres, double &resolution)
{
    TLengthConversion conversion;
    if (!Check(value, element, label) || !Conversion(value, element, label, conversion)) {
        return false;
    }
    millimetres = (value.numbers[0] + conversion.offset) * conversion.millimetres;
    resolution = value.resolutions[0] * conversion.millimetres;
    if (!std::isfinite(millimetres)) {
        collector_.Warn(value.line_number,
                        QStringLiteral("the %1 of %2: beyond the range of a number in millimetres")
                            .arg(QLatin1String(element), Quoted(label)));
        return false;
    }
    return true;
}

void TQifReader::Measurement(const TQifMeasurement &measurement)
{
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
    TTestedFeature feature;
    feature.line_number = line;
    if (measurement.type != type) {
        collector_.Warn(line,
                        QStringLiteral("result for %1 is a %2, the reference feature is %3")
                            .arg(Quoted(label),
                                 Measurement_Element(measurement.type, document_.major_version),
                                 QLatin1String(Type_Name(type))));
        collector_.Add(index, feature);
        return;
    }

    // Every value is looked at, so that every problem is told at once.
    const auto absent = [&](const char *element) {
        collector_.Warn(
            line, QStringLiteral("%1 has no %2, which %3 needs")
                      .arg(Quoted(label), QLatin1String(element), QLatin1String(Type_Name(type))));
        return false;
    };
    bool usable = measurement.location.present
                      ? Vector(measurement.location, "Location", label, true, feature.position,
                               feature.position_resolution)
                      : absent("Location");
    if (type != TFeatureType::SPHERE) {
        const TQifValue *direction = &measurement.normal;
        const char *element = "Normal";
        if (type == TFeatureType::LINE) {
            direction = &measurement.direction;
            element = "Direction";
            if (!measurement.direction.present && measurement.normal.present) {
                collector_.Warn(line, QStringLiteral("%1 has no Direction; its Normal is taken as "
                                                     "the direction, where some writers put it")
                                          .arg(Quoted(label)));
                direction = &measurement.normal;
                element = "Normal";
            }
        }
        usable = (direction->present ? Vector(*direction, element, label, false, feature.direction,
                                              feature.direction_resolution)
                                     : absent(element)) &&
                 usable;
    }
    if (type == TFeatureType::CIRCLE || type == TFeatureType::SPHERE) {
        usable =
            (measurement.diameter.present ? Length(measurement.diameter, "Diameter", label,
                                                   feature.diameter, feature.diameter_resolution)
                                          : absent("Diameter")) &&
            usable;
    }
    if (!usable) {
        // Nothing of a result that cannot be used is passed on.
        feature = TTestedFeature();
        feature.line_number = line;
    }
    feature.usable = usable;
    collector_.Add(index, feature);
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

int Read_Qif_Results(const char *begin, const char *end, int wanted, TResultsCollector &collector,
                     TResultsReading &reading)
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
    TQifReader reader(document, collector);
    int line = 0;
    QString reason;
    if (!reader.Units(line, reason)) {
        return fail(TResultsFailure::UNUSABLE, line,
                    reason + QStringLiteral("; no length of the file can be read"));
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
    return static_cast<int>(document.measurements.size());
}
