#include "grading/grade_report.h"

#include <QStringList>

#include <cmath>
#include <utility>

const char *Verdict_Name(TVerdict verdict)
{
    switch (verdict) {
    case TVerdict::PASS:
        return "pass";
    case TVerdict::FAIL:
        return "fail";
    case TVerdict::INCONCLUSIVE:
        return "inconclusive";
    case TVerdict::MISSING:
        return "missing";
    case TVerdict::AMBIGUOUS:
        return "ambiguous";
    case TVerdict::UNFIT:
        return "unfit";
    }
    return "";
}

double Mpe_Share(double value, double mpe)
{
    const double magnitude = std::fabs(value);
    if (mpe > 0)
        return magnitude / mpe;
    return magnitude == 0 ? 0 : INFINITY;
}

void Count_Verdict(TVerdict verdict, TGradeSummary &summary)
{
    switch (verdict) {
    case TVerdict::PASS:
        ++summary.pass;
        break;
    case TVerdict::FAIL:
        ++summary.fail;
        break;
    case TVerdict::INCONCLUSIVE:
        ++summary.inconclusive;
        break;
    case TVerdict::MISSING:
        ++summary.missing;
        break;
    case TVerdict::AMBIGUOUS:
        ++summary.ambiguous;
        break;
    case TVerdict::UNFIT:
        ++summary.unfit;
        break;
    }
}

std::vector<TQuantity> Quantities_Of(TFeatureType type)
{
    switch (type) {
    case TFeatureType::PLANE:
    case TFeatureType::LINE:
        return {TQuantity::POSITION, TQuantity::ANGLE};
    case TFeatureType::CIRCLE:
    case TFeatureType::CYLINDER:
        return {TQuantity::POSITION, TQuantity::ANGLE, TQuantity::SIZE};
    case TFeatureType::SPHERE:
        return {TQuantity::POSITION, TQuantity::SIZE};
    case TFeatureType::CONE:
        return {TQuantity::POSITION, TQuantity::ANGLE, TQuantity::APEX_ANGLE, TQuantity::SIZE};
    case TFeatureType::TORUS:
        return {TQuantity::POSITION, TQuantity::ANGLE, TQuantity::SIZE, TQuantity::MINOR_SIZE};
    }
    return {};
}

std::vector<TQuantity> Quantities_Of(TFeatureType type, TCriterion criterion)
{
    if (criterion == TCriterion::LEAST_SQUARES)
        return Quantities_Of(type);
    std::vector<TQuantity> quantities = Quantities_Of(type);
    if (criterion == TCriterion::MINIMUM_ZONE)
        quantities.push_back(TQuantity::FORM);
    return quantities;
}

QString Type_Name(TFeatureType type, TCriterion criterion)
{
    QString name = QLatin1String(Feature_Type_Name(type));
    if (criterion != TCriterion::LEAST_SQUARES)
        name += QLatin1Char(' ') + QLatin1String(Criterion_Name(criterion));
    return name;
}

bool Is_Angle(TQuantity quantity)
{
    return quantity == TQuantity::ANGLE || quantity == TQuantity::APEX_ANGLE;
}

const char *Quantity_Name(TQuantity quantity)
{
    switch (quantity) {
    case TQuantity::POSITION:
        return "position";
    case TQuantity::ANGLE:
        return "angle";
    case TQuantity::SIZE:
        return "size";
    case TQuantity::APEX_ANGLE:
        return "apex angle";
    case TQuantity::MINOR_SIZE:
        return "minor size";
    case TQuantity::FORM:
        return "form";
    }
    return "";
}

const char *Quantity_Key(TQuantity quantity)
{
    switch (quantity) {
    case TQuantity::APEX_ANGLE:
        return "apex_angle";
    case TQuantity::MINOR_SIZE:
        return "minor_size";
    default:
        return Quantity_Name(quantity);
    }
}

double Quantity_Mpe(TQuantity quantity, const TMpe &mpe)
{
    if (Is_Angle(quantity))
        return mpe.angle;
    if (quantity == TQuantity::FORM)
        return mpe.form;
    return quantity == TQuantity::POSITION ? mpe.position : mpe.size;
}

QString Minimax_Definitions_Preamble()
{
    return QStringLiteral("Minimax (Chebyshev) fits, the global optimum of their criterion, "
                          "certified by its optimality conditions; F is the form.");
}

QString Minimax_Definition(TFeatureType type, TCriterion criterion)
{
    const QString name = QLatin1String(Feature_Type_Name(type));
    QString sentence = name.left(1).toUpper() + name.mid(1) + QLatin1Char(' ');
    const bool in_plane = type == TFeatureType::LINE || type == TFeatureType::CIRCLE;
    const QString where = in_plane ? QStringLiteral(", of the points projected onto the stated "
                                                    "plane,")
                                   : QString();
    switch (criterion) {
    case TCriterion::LEAST_SQUARES:
        return Fit_Definition(type);
    case TCriterion::MINIMUM_ZONE:
        if (type == TFeatureType::LINE || type == TFeatureType::PLANE)
            sentence += QStringLiteral("minimum zone: the middle of the narrowest pair of parallel "
                                       "%1s holding every point%2; F its width.")
                            .arg(name, where);
        else
            sentence +=
                QStringLiteral("minimum zone: the narrowest pair of concentric %1s "
                               "holding every point%2; the diameter the sum of their "
                               "radii, F their difference.")
                    .arg(type == TFeatureType::CYLINDER ? QStringLiteral("coaxial cylinder") : name,
                         where);
        break;
    case TCriterion::MINIMUM_CIRCUMSCRIBED:
        sentence += QStringLiteral("minimum circumscribed: the smallest %1 holding every point%2; "
                                   "F the range of the points' distances from its %3.")
                        .arg(name, where,
                             type == TFeatureType::CYLINDER ? QStringLiteral("axis")
                                                            : QStringLiteral("centre"));
        break;
    case TCriterion::MAXIMUM_INSCRIBED:
        sentence += QStringLiteral("maximum inscribed: the largest %1 holding no point%2, its "
                                   "%3 inside the points' hull; F the range of the points' "
                                   "distances from it.")
                        .arg(name, where,
                             type == TFeatureType::CYLINDER ? QStringLiteral("axis")
                                                            : QStringLiteral("centre"));
        break;
    }
    return sentence;
}

QString Fit_Definitions_Preamble()
{
    return QStringLiteral("Least-squares (Gaussian, orthogonal-distance) fits.");
}

QString Fit_Definition(TFeatureType type)
{
    switch (type) {
    case TFeatureType::PLANE:
        return QStringLiteral("Plane: through the centroid of the points, normal from the "
                              "singular value decomposition of the centred points.");
    case TFeatureType::LINE:
        return QStringLiteral(
            "Line: through the centroid, direction of the greatest spread of the centred points.");
    case TFeatureType::CIRCLE:
        return QStringLiteral("Circle in space (NIST's definition): least-squares plane, points "
                              "projected onto it, then a two-dimensional geometric circle fit in "
                              "that plane.");
    case TFeatureType::SPHERE:
        return QStringLiteral("Sphere: geometric distances minimised by Gauss-Newton iteration "
                              "from an algebraic start.");
    case TFeatureType::CYLINDER:
        return QStringLiteral("Cylinder: orthogonal distances to the surface minimised over the "
                              "axis and the diameter, from several starts, the least sum of "
                              "squares kept.");
    case TFeatureType::CONE:
        return QStringLiteral("Cone: orthogonal distances to the surface minimised over the "
                              "axis, the apex angle and the diameter, from several starts "
                              "including a cylinder.");
    case TFeatureType::TORUS:
        return QStringLiteral("Torus: orthogonal distances to the surface minimised over the "
                              "centre, the axis and the major and minor diameters, from several "
                              "starts.");
    }
    return QString();
}

QString Fit_Definitions()
{
    QStringList sentences{Fit_Definitions_Preamble()};
    for (const TFeatureType type : FEATURE_TYPES)
        sentences << Fit_Definition(type);
    return sentences.join(QLatin1Char(' '));
}

QString Test_Standard()
{
    return QStringLiteral("ISO 10360-6");
}

QString Decision_Standard()
{
    return QStringLiteral("ISO 14253-1");
}

QString Fixed_Text(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(QLatin1Char('-'))) {
        bool zero = true;
        for (int i = 1; i < text.size() && zero; ++i)
            zero = text[i] == QLatin1Char('0') || text[i] == QLatin1Char('.');
        if (zero)
            text.remove(0, 1);
    }
    return text;
}

TOverall Overall_Result(const TGradeSummary &summary)
{
    if (summary.All_Pass())
        return TOverall::PASS;
    return summary.fail > 0 ? TOverall::FAIL : TOverall::NOT_PASSED;
}

const char *Overall_Name(TOverall overall)
{
    switch (overall) {
    case TOverall::PASS:
        return "PASS";
    case TOverall::FAIL:
        return "FAIL";
    case TOverall::NOT_PASSED:
        return "NOT PASSED";
    }
    return "";
}

QString Overall_Reasons(const TGradeSummary &summary)
{
    if (summary.All_Pass())
        return QString();
    if (summary.Features() == 0)
        return QStringLiteral("no feature was graded");
    const std::pair<TVerdict, int> counts[] = {{TVerdict::FAIL, summary.fail},
                                               {TVerdict::INCONCLUSIVE, summary.inconclusive},
                                               {TVerdict::MISSING, summary.missing},
                                               {TVerdict::AMBIGUOUS, summary.ambiguous},
                                               {TVerdict::UNFIT, summary.unfit}};
    QStringList reasons;
    for (const auto &count : counts)
        if (count.second > 0)
            reasons << QStringLiteral("%1 %2")
                           .arg(count.second)
                           .arg(QLatin1String(Verdict_Name(count.first)));
    return reasons.join(QStringLiteral(", "));
}

QString Overall_Text(const TGradeSummary &summary)
{
    const QString name = QLatin1String(Overall_Name(Overall_Result(summary)));
    const QString reasons = Overall_Reasons(summary);
    return reasons.isEmpty() ? name : name + QStringLiteral(": ") + reasons;
}
