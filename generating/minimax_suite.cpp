#include "generating/minimax_suite.h"

#include "generating/minimax_options.h"

#include <algorithm>

namespace {

constexpr int SUITE_SIZE = 50;

// Cycles of co-prime lengths, so that the 50 data sets meet each value with
// many of the others.
constexpr int POINTS[] = {0, 1, 5, 10, 25, 50, 100, 500, 1000, 10000}; // below 5: from the least
constexpr double SIZES[] = {1, 10, 50, 100, 250, 500, 1000};
constexpr double FORMS[] = {0.0001, 0.001, 0.01, 0.1, 1, 0.005, 0.0003};
constexpr double DISTANCES[] = {0, 10, 100, 1000, 10000};
constexpr double LENGTHS[] = {0.2, 1, 5}; // a cylinder's, over its diameter
constexpr TOrientation ORIENTATIONS[] = {TOrientation::AXIS, TOrientation::TILTED,
                                         TOrientation::RANDOM};

// The three arcs of a circle's or cylinder's data sets under a criterion;
// a sphere's caps.
double Arc_Of(TFeatureType type, TCriterion criterion, int which)
{
    if (type == TFeatureType::SPHERE) {
        static const double ZONE_CAPS[] = {180, 90, 60};
        static const double CIRCUMSCRIBED_CAPS[] = {180, 90, 120};
        static const double INSCRIBED_CAPS[] = {180, 130, 110};
        return criterion == TCriterion::MINIMUM_ZONE            ? ZONE_CAPS[which]
               : criterion == TCriterion::MINIMUM_CIRCUMSCRIBED ? CIRCUMSCRIBED_CAPS[which]
                                                                : INSCRIBED_CAPS[which];
    }
    static const double ZONE[] = {360, 180, 120};
    static const double CIRCUMSCRIBED[] = {360, 180, 180};
    static const double INSCRIBED[] = {360, 240, 200};
    switch (criterion) {
    case TCriterion::MINIMUM_CIRCUMSCRIBED:
        return type == TFeatureType::CYLINDER ? INSCRIBED[which] : CIRCUMSCRIBED[which];
    case TCriterion::MAXIMUM_INSCRIBED:
        // Part of the way round, a cylinder's inscribed optimum is seldom
        // one its certificate can tell sharp: the suite's go all round.
        return type == TFeatureType::CYLINDER ? 360 : INSCRIBED[which];
    default:
        return ZONE[which];
    }
}

} // namespace

std::vector<TDataSetOptions> Minimax_Suite_Options(TFeatureType type, TCriterion criterion)
{
    std::vector<TDataSetOptions> list;
    if (criterion == TCriterion::LEAST_SQUARES || !Generates_Criterion(type, criterion))
        return list;
    for (int i = 0; i < SUITE_SIZE; ++i) {
        TDataSetOptions options = Default_Options(type);
        options.criterion = criterion;
        const int points = POINTS[i % std::size(POINTS)];
        options.size = SIZES[i % std::size(SIZES)];
        if (type == TFeatureType::SPHERE || type == TFeatureType::CYLINDER)
            options.size = std::min(options.size, 500.0);
        // Thousands of points on a surface of a millimetre lie closer
        // together than the rounding certifies them.
        if (type == TFeatureType::CYLINDER && POINTS[i % std::size(POINTS)] >= 1000)
            options.size = std::max(options.size, 10.0);
        if (Has_Arc(type))
            options.arc = Arc_Of(type, criterion, (i / 3) % 3);
        if (Has_Length(type)) {
            double ratio = LENGTHS[(i / 2) % std::size(LENGTHS)];
            // Round part of the way only, a short cylinder fits in a
            // smaller one of another axis.
            if (criterion != TCriterion::MINIMUM_ZONE && options.arc < 360)
                ratio = std::max(ratio, 1.0);
            options.length = options.size * ratio;
        }
        const int least = Least_Generated_Points(options);
        options.points = points < 5 ? least + points : std::max(points, least);
        // Through its few contacts alone a cylinder of another axis often
        // makes a narrower zone than the design: such data sets are
        // rejected, so the suite's cylinders hold others besides.
        if (type == TFeatureType::CYLINDER)
            options.points = std::max(options.points, 25);
        // A cylinder's search costs a second for every 10,000 points: the
        // largest is taken once.
        if (type == TFeatureType::CYLINDER && options.points > 1000 && i != SUITE_SIZE - 1)
            options.points = 1000;
        // A form of at most a hundredth of the size keeps the element's shape.
        options.form = std::min(FORMS[i % std::size(FORMS)], options.size / 100);
        options.distance = DISTANCES[i % std::size(DISTANCES)];
        options.orientation = ORIENTATIONS[i % std::size(ORIENTATIONS)];
        if (type == TFeatureType::PLANE)
            options.aspect = i % 4 == 1 ? 10 : 1;
        // On a ramp the least-squares element moves off the minimax one by
        // a share of F: taken where F is large enough to show it.
        if (i % 4 == 3 && options.points >= 10) {
            options.skew = 0.8;
            options.form = std::min(std::max(options.form, 0.005), options.size / 100);
        }
        // Six decimals where five would move the points by more than a
        // hundredth of F.
        options.decimals = options.form < 0.002 ? 6 : 5;
        list.push_back(options);
    }
    return list;
}
