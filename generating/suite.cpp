#include "generating/suite.h"

#include "core/message_number.h"
#include "generating/minimax_suite.h"
#include "generating/random_numbers.h"
#include "generating/validation_text.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <thread>

namespace {

enum TForm
{
    NONE,
    SMALL, // 1e-4 of the size
    LARGE  // 1e-2 of the size
};

constexpr TOrientation AXIS = TOrientation::AXIS;
constexpr TOrientation TILTED = TOrientation::TILTED;
constexpr TOrientation RANDOM = TOrientation::RANDOM;

struct TEntry
{
    int points;
    double size;
    double shape; // plane: aspect; circle: arc; sphere: cap half-angle; line: unused
    double distance;
    TOrientation orientation;
    TForm form;
    int decimals;
};

// Planes and lines share their rows; a line reads no aspect.
const TEntry FLAT[] = {
    {0, 50, 1, 0, AXIS, NONE, 5},          {0, 10, 1, 100, RANDOM, NONE, 5},
    {0, 500, 10, 1000, TILTED, NONE, 5},   {1, 50, 1, 10, TILTED, SMALL, 5},
    {2, 100, 1, 1000, RANDOM, SMALL, 5},   {3, 1, 1, 0, RANDOM, LARGE, 5},
    {8, 25, 10, 100, AXIS, LARGE, 5},      {10, 200, 1, 10, RANDOM, SMALL, 5},
    {25, 1, 1, 10, AXIS, SMALL, 5},        {25, 10, 1, 100, TILTED, LARGE, 5},
    {25, 50, 1, 0, RANDOM, NONE, 5},       {25, 50, 10, 0, RANDOM, SMALL, 5},
    {25, 100, 10, 1000, TILTED, SMALL, 5}, {25, 2, 10, 1000, RANDOM, LARGE, 5},
    {30, 250, 1, 100, AXIS, LARGE, 5},     {30, 500, 1, 1000, RANDOM, SMALL, 5},
    {35, 5, 1, 0, TILTED, NONE, 5},        {40, 500, 10, 10, RANDOM, LARGE, 5},
    {40, 20, 1, 1000, AXIS, SMALL, 5},     {50, 50, 10, 1000, AXIS, NONE, 5},
    {50, 200, 1, 0, TILTED, NONE, 5},      {50, 5, 1, 1000, RANDOM, LARGE, 5},
    {50, 100, 10, 100, RANDOM, SMALL, 5},  {25, 250, 10, 10, TILTED, SMALL, 5},
    {30, 1, 10, 100, RANDOM, SMALL, 5},    {45, 10, 10, 0, AXIS, LARGE, 5},
    {500, 100, 1, 0, RANDOM, SMALL, 5},    {500, 500, 10, 1000, RANDOM, LARGE, 5},
    {500, 1, 1, 10, TILTED, NONE, 5},      {500, 50, 10, 100, AXIS, SMALL, 5},
    {25, 500, 1, 0, AXIS, LARGE, 5},       {25, 50, 1, 1000, TILTED, LARGE, 5},
};

const TEntry CIRCLES[] = {
    {0, 50, 360, 0, AXIS, NONE, 5},          {0, 10, 180, 100, RANDOM, NONE, 5},
    {0, 100, 90, 1000, TILTED, NONE, 5},     {1, 50, 360, 10, TILTED, SMALL, 5},
    {2, 100, 360, 1000, RANDOM, SMALL, 5},   {3, 1, 360, 0, RANDOM, LARGE, 6},
    {8, 25, 180, 100, AXIS, LARGE, 5},       {10, 200, 360, 10, RANDOM, SMALL, 5},
    {25, 1, 360, 10, AXIS, SMALL, 5},        {25, 10, 360, 100, TILTED, LARGE, 5},
    {25, 50, 360, 0, RANDOM, NONE, 5},       {25, 50, 180, 0, RANDOM, SMALL, 5},
    {25, 100, 180, 1000, TILTED, SMALL, 5},  {25, 2, 180, 1000, RANDOM, LARGE, 6},
    {30, 250, 360, 100, AXIS, LARGE, 5},     {30, 500, 360, 1000, RANDOM, SMALL, 5},
    {25, 50, 90, 0, RANDOM, SMALL, 5},       {25, 100, 90, 1000, AXIS, LARGE, 5},
    {30, 20, 90, 10, TILTED, SMALL, 5},      {25, 50, 30, 0, AXIS, SMALL, 5},
    {25, 50, 30, 100, RANDOM, SMALL, 6},     {25, 100, 30, 1000, TILTED, NONE, 6},
    {25, 50, 10, 0, AXIS, SMALL, 5},         {25, 50, 10, 10, RANDOM, NONE, 6},
    {30, 200, 10, 1000, AXIS, SMALL, 5},     {40, 500, 30, 10, RANDOM, SMALL, 6},
    {50, 5, 360, 1000, RANDOM, LARGE, 5},    {500, 100, 360, 0, RANDOM, SMALL, 5},
    {500, 500, 360, 1000, RANDOM, LARGE, 5}, {500, 1, 180, 10, TILTED, NONE, 6},
    {500, 50, 90, 100, AXIS, SMALL, 5},      {500, 100, 10, 100, TILTED, SMALL, 6},
    {0, 50, 10, 0, AXIS, NONE, 5},           {45, 10, 180, 0, AXIS, LARGE, 5},
};

const TEntry SPHERES[] = {
    {0, 50, 180, 0, AXIS, NONE, 5},        {0, 10, 90, 100, RANDOM, NONE, 5},
    {0, 100, 20, 1000, TILTED, NONE, 5},   {1, 50, 180, 10, TILTED, SMALL, 5},
    {2, 100, 180, 1000, RANDOM, SMALL, 5}, {4, 1, 180, 0, RANDOM, LARGE, 5},
    {10, 25, 90, 100, AXIS, LARGE, 5},     {12, 200, 180, 10, RANDOM, SMALL, 5},
    {25, 1, 180, 10, AXIS, SMALL, 5},      {25, 10, 180, 100, TILTED, LARGE, 5},
    {25, 50, 180, 0, RANDOM, NONE, 5},     {25, 50, 90, 0, RANDOM, SMALL, 5},
    {25, 100, 90, 1000, TILTED, SMALL, 5}, {25, 2, 90, 1000, RANDOM, LARGE, 5},
    {30, 250, 180, 100, AXIS, LARGE, 5},   {30, 500, 180, 1000, RANDOM, SMALL, 5},
    {25, 50, 45, 0, RANDOM, SMALL, 5},     {25, 100, 45, 1000, AXIS, SMALL, 5},
    {30, 20, 45, 10, TILTED, NONE, 5},     {25, 50, 20, 0, AXIS, SMALL, 5},
    {25, 50, 20, 100, RANDOM, SMALL, 5},   {25, 100, 20, 1000, TILTED, NONE, 5},
    {40, 500, 45, 10, RANDOM, LARGE, 5},   {50, 5, 180, 1000, RANDOM, LARGE, 5},
    {500, 100, 180, 0, RANDOM, SMALL, 5},  {500, 500, 180, 1000, RANDOM, LARGE, 5},
    {500, 1, 90, 10, TILTED, NONE, 5},     {500, 50, 45, 100, AXIS, SMALL, 5},
    {500, 100, 20, 100, TILTED, SMALL, 5}, {35, 10, 90, 0, AXIS, LARGE, 5},
    {45, 200, 20, 10, RANDOM, SMALL, 5},   {25, 500, 90, 0, AXIS, LARGE, 5},
};

// Cylinders, cones and tori: ratio is the length over the diameter
// (cylinder, cone) or the minor diameter over the major (torus); turn is a
// cone's apex angle or a torus' band, unused for a cylinder.
struct TSurfaceEntry
{
    int points;
    double size;
    double ratio;
    double arc;
    double turn;
    double distance;
    TOrientation orientation;
    TForm form;
};

const TSurfaceEntry CYLINDERS[] = {
    {0, 50, 1, 360, 0, 0, AXIS, NONE},
    {0, 10, 0.1, 180, 0, 100, RANDOM, NONE},
    {0, 100, 10, 90, 0, 1000, TILTED, NONE},
    {1, 50, 1, 360, 0, 100, TILTED, SMALL},
    {2, 100, 0.1, 360, 0, 1000, RANDOM, SMALL},
    {3, 1, 1, 360, 0, 0, RANDOM, LARGE},
    {5, 25, 1, 180, 0, 100, AXIS, LARGE},
    {25, 1, 1, 360, 0, 100, AXIS, SMALL},
    {25, 10, 10, 360, 0, 100, TILTED, LARGE},
    {25, 50, 1, 360, 0, 0, RANDOM, NONE},
    {25, 50, 0.1, 360, 0, 0, RANDOM, SMALL},
    {25, 100, 1, 180, 0, 1000, TILTED, SMALL},
    {30, 250, 1, 180, 0, 100, AXIS, LARGE},
    {30, 500, 1, 360, 0, 1000, RANDOM, SMALL},
    {25, 50, 1, 90, 0, 0, RANDOM, SMALL},
    {25, 100, 10, 90, 0, 1000, AXIS, SMALL},
    {30, 20, 0.1, 90, 0, 100, TILTED, SMALL},
    {25, 50, 1, 30, 0, 0, AXIS, SMALL},
    {25, 50, 10, 30, 0, 100, RANDOM, SMALL},
    {40, 100, 1, 30, 0, 1000, TILTED, NONE},
    {40, 500, 0.1, 30, 0, 100, RANDOM, NONE},
    {50, 5, 10, 360, 0, 1000, RANDOM, LARGE},
    {45, 200, 10, 180, 0, 0, AXIS, LARGE},
    {50, 2, 1, 180, 0, 1000, RANDOM, LARGE},
    {35, 20, 1, 360, 0, 10000, RANDOM, SMALL},
    {500, 100, 1, 360, 0, 0, RANDOM, SMALL},
    {500, 500, 0.1, 360, 0, 1000, RANDOM, SMALL},
    {500, 1, 10, 180, 0, 100, TILTED, NONE},
    {500, 50, 1, 90, 0, 100, AXIS, SMALL},
    {500, 100, 0.1, 30, 0, 100, TILTED, SMALL},
    {25, 500, 1, 360, 0, 0, AXIS, LARGE},
    {30, 10, 1, 360, 0, 0, AXIS, LARGE},
};

// Long cones are narrow ones: the diameter at the narrow end of the points
// stays above a tenth of the size. A large form deviation goes with a
// length of at least the diameter: on a short band it would tilt the axis
// of the least-squares element away from the design.
const TSurfaceEntry CONES[] = {
    {0, 50, 1, 360, 30, 0, AXIS, NONE},
    {0, 10, 1, 360, 60, 100, RANDOM, NONE},
    {0, 100, 10, 90, 5, 1000, TILTED, NONE},
    {1, 50, 1, 360, 60, 100, TILTED, SMALL},
    {2, 100, 0.1, 360, 120, 1000, RANDOM, SMALL},
    {3, 1, 1, 360, 30, 0, RANDOM, LARGE},
    {5, 25, 1, 180, 5, 100, AXIS, LARGE},
    {25, 1, 1, 360, 1, 100, AXIS, SMALL},
    {25, 10, 10, 360, 1, 100, TILTED, LARGE},
    {25, 50, 1, 360, 30, 0, RANDOM, NONE},
    {25, 50, 0.1, 360, 120, 0, RANDOM, SMALL},
    {25, 100, 1, 180, 60, 1000, TILTED, SMALL},
    {30, 250, 0.1, 180, 90, 100, AXIS, SMALL},
    {30, 500, 1, 360, 5, 1000, RANDOM, SMALL},
    {25, 50, 1, 90, 30, 0, RANDOM, SMALL},
    {25, 100, 10, 90, 5, 1000, AXIS, SMALL},
    {30, 20, 0.1, 90, 60, 100, TILTED, SMALL},
    {25, 50, 1, 30, 30, 0, AXIS, SMALL},
    {25, 50, 10, 30, 1, 100, RANDOM, SMALL},
    {40, 100, 1, 30, 60, 1000, TILTED, NONE},
    {40, 500, 0.1, 30, 90, 100, RANDOM, NONE},
    {50, 5, 10, 360, 5, 1000, RANDOM, LARGE},
    {45, 200, 0.1, 180, 120, 0, AXIS, SMALL},
    {50, 2, 1, 180, 30, 1000, RANDOM, LARGE},
    {35, 20, 1, 360, 30, 10000, RANDOM, SMALL},
    {500, 100, 1, 360, 60, 0, RANDOM, SMALL},
    {500, 500, 0.1, 360, 90, 1000, RANDOM, SMALL},
    {500, 1, 10, 180, 1, 100, TILTED, NONE},
    {500, 50, 1, 90, 5, 100, AXIS, SMALL},
    {500, 100, 0.1, 30, 120, 100, TILTED, SMALL},
    {25, 500, 1, 360, 1, 0, AXIS, LARGE},
    {30, 10, 0.1, 360, 90, 0, AXIS, SMALL},
};

// Bands of 60 degrees about the outer equator are bearing races.
const TSurfaceEntry TORI[] = {
    {0, 50, 0.25, 360, 360, 0, AXIS, NONE},         {0, 10, 0.5, 90, 360, 100, RANDOM, NONE},
    {0, 100, 0.1, 360, 60, 1000, TILTED, NONE},     {1, 50, 0.3, 360, 360, 100, TILTED, SMALL},
    {2, 100, 0.2, 90, 360, 1000, RANDOM, SMALL},    {3, 1, 0.5, 360, 360, 0, RANDOM, SMALL},
    {5, 25, 0.4, 360, 60, 100, AXIS, LARGE},        {25, 1, 0.25, 360, 360, 100, AXIS, SMALL},
    {25, 10, 0.1, 360, 360, 100, TILTED, LARGE},    {25, 50, 0.25, 360, 360, 0, RANDOM, NONE},
    {25, 50, 0.5, 90, 360, 0, RANDOM, SMALL},       {25, 100, 0.2, 360, 60, 1000, TILTED, SMALL},
    {30, 250, 0.1, 90, 360, 100, AXIS, LARGE},      {30, 500, 0.3, 360, 360, 1000, RANDOM, SMALL},
    {25, 50, 0.4, 90, 60, 0, RANDOM, SMALL},        {25, 100, 0.1, 360, 60, 1000, AXIS, SMALL},
    {30, 20, 0.5, 360, 60, 100, TILTED, SMALL},     {40, 200, 0.15, 360, 60, 0, AXIS, NONE},
    {40, 100, 0.25, 90, 60, 100, RANDOM, SMALL},    {40, 100, 0.3, 90, 360, 1000, TILTED, NONE},
    {40, 500, 0.1, 360, 360, 100, RANDOM, NONE},    {50, 5, 0.4, 360, 360, 1000, RANDOM, LARGE},
    {45, 200, 0.2, 360, 360, 0, AXIS, LARGE},       {50, 2, 0.5, 90, 360, 1000, RANDOM, LARGE},
    {35, 20, 0.25, 360, 360, 10000, RANDOM, SMALL}, {500, 100, 0.3, 360, 360, 0, RANDOM, SMALL},
    {500, 500, 0.1, 360, 360, 1000, RANDOM, LARGE}, {500, 1, 0.5, 90, 60, 100, TILTED, NONE},
    {500, 50, 0.2, 360, 60, 100, AXIS, SMALL},      {500, 100, 0.4, 90, 360, 100, TILTED, SMALL},
    {25, 500, 0.25, 360, 360, 0, AXIS, LARGE},      {30, 10, 0.1, 360, 60, 0, AXIS, SMALL},
};

// A product of table values as the decimal it stands for (to 1e-6 mm).
double Micrometre_Rounded(double value)
{
    return static_cast<double>(std::llround(value * 1e6)) / 1e6;
}

template <size_t N>
std::vector<TDataSetOptions> Surface_Options_Of(TFeatureType type,
                                                const TSurfaceEntry (&entries)[N])
{
    std::vector<TDataSetOptions> list;
    for (const TSurfaceEntry &entry : entries) {
        TDataSetOptions options = Default_Options(type);
        options.points = entry.points < 25 ? Least_Points(type) + entry.points : entry.points;
        options.size = entry.size;
        options.arc = entry.arc;
        if (Has_Length(type))
            options.length = Micrometre_Rounded(entry.ratio * entry.size);
        if (Has_Angle(type))
            options.angle = entry.turn;
        if (Has_Minor(type))
            options.minor = Micrometre_Rounded(entry.ratio * entry.size);
        if (Has_Band(type))
            options.band = entry.turn;
        options.distance = entry.distance;
        options.orientation = entry.orientation;
        options.form = entry.form == NONE ? 0 : entry.size * (entry.form == SMALL ? 1e-4 : 1e-2);
        options.decimals = 5;
        list.push_back(options);
    }
    return list;
}

template <size_t N>
std::vector<TDataSetOptions> Options_Of(TFeatureType type, const TEntry (&entries)[N])
{
    std::vector<TDataSetOptions> list;
    for (const TEntry &entry : entries) {
        TDataSetOptions options = Default_Options(type);
        // Points below 25 count from the least number the type needs.
        options.points = entry.points < 25 ? Least_Points(type) + entry.points : entry.points;
        options.size = entry.size;
        if (Has_Aspect(type))
            options.aspect = entry.shape;
        if (Has_Arc(type))
            options.arc = entry.shape;
        options.distance = entry.distance;
        options.orientation = entry.orientation;
        options.form = entry.form == NONE ? 0 : entry.size * (entry.form == SMALL ? 1e-4 : 1e-2);
        options.decimals = entry.decimals;
        list.push_back(options);
    }
    return list;
}

// The draws a minimax data set of the suite may take.
constexpr std::uint64_t MINIMAX_DRAWS = 4;

} // namespace

std::vector<TDataSetOptions> Suite_Options(TFeatureType type)
{
    switch (type) {
    case TFeatureType::PLANE:
    case TFeatureType::LINE:
        return Options_Of(type, FLAT);
    case TFeatureType::CIRCLE:
        return Options_Of(type, CIRCLES);
    case TFeatureType::SPHERE:
        return Options_Of(type, SPHERES);
    case TFeatureType::CYLINDER:
        return Surface_Options_Of(type, CYLINDERS);
    case TFeatureType::CONE:
        return Surface_Options_Of(type, CONES);
    case TFeatureType::TORUS:
        return Surface_Options_Of(type, TORI);
    }
    return {};
}

std::vector<TDataSet> Generate_Suite(TFeatureType type, std::uint64_t seed)
{
    const std::vector<TDataSetOptions> list = Suite_Options(type);
    std::vector<TDataSet> data_sets;
    for (size_t i = 0; i < list.size(); ++i) {
        const qint32 number = static_cast<qint32>(i + 1);
        data_sets.push_back(Generate_Data_Set(
            list[i], number, Data_Set_Seed(seed, 1 + static_cast<std::uint64_t>(type), i + 1)));
    }
    return data_sets;
}

QString Suite_Problem(const std::vector<TDataSet> &data_sets)
{
    for (const TDataSet &data_set : data_sets) {
        const QString label = Data_Set_Label(data_set);
        if (!data_set.failure.isEmpty())
            return QStringLiteral("%1 (%2) is rejected: %3")
                .arg(label, Describe(data_set.options), data_set.failure);
        if (!data_set.has_definition_gap)
            continue;
        const TDefinitionGap &gap = data_set.definition_gap;
        if (!(gap.position < SUITE_GAP_LENGTH && std::abs(gap.size) < SUITE_GAP_LENGTH &&
              gap.angle < SUITE_GAP_ANGLE))
            return QStringLiteral("%1 (%2): the two circle definitions part by %3 mm in "
                                  "position, %4 rad in direction and %5 mm in diameter")
                .arg(label, Describe(data_set.options))
                .arg(Message_Number(gap.position, 3))
                .arg(Message_Number(gap.angle, 3))
                .arg(Message_Number(gap.size, 3));
    }
    return {};
}

QString Suite_File_Name(TFeatureType type)
{
    return QLatin1String(Feature_Type_Name(type)) + QStringLiteral(".dat");
}

const std::vector<TSuiteFile> &Suite_Files()
{
    static const std::vector<TSuiteFile> files = [] {
        std::vector<TSuiteFile> list;
        for (const TFeatureType type : FEATURE_TYPES)
            list.push_back({type, TCriterion::LEAST_SQUARES});
        for (const TFeatureType type : FEATURE_TYPES)
            for (const TCriterion criterion : CRITERIA)
                if (!Minimax_Suite_Options(type, criterion).empty())
                    list.push_back({type, criterion});
        return list;
    }();
    return files;
}

QString Suite_File_Name(const TSuiteFile &file)
{
    if (file.criterion == TCriterion::LEAST_SQUARES)
        return Suite_File_Name(file.type);
    return QStringLiteral("%1-%2.dat")
        .arg(QLatin1String(Feature_Type_Name(file.type)),
             QLatin1String(Criterion_Name(file.criterion)));
}

std::vector<TDataSet> Generate_Suite(const TSuiteFile &file, std::uint64_t seed)
{
    if (file.criterion == TCriterion::LEAST_SQUARES)
        return Generate_Suite(file.type, seed);
    const std::vector<TDataSetOptions> list = Minimax_Suite_Options(file.type, file.criterion);
    // Streams of their own, past the least-squares files'.
    const std::uint64_t stream =
        16 + 4 * static_cast<std::uint64_t>(file.type) + static_cast<std::uint64_t>(file.criterion);
    // Each data set has its own engine, so they are built side by side, a
    // batch of one per core at a time; where no thread can be had each is
    // built when asked for.
    std::vector<TDataSet> data_sets;
    const size_t batch = std::max(1u, std::thread::hardware_concurrency());
    for (size_t first = 0; first < list.size(); first += batch) {
        std::vector<std::future<TDataSet>> built;
        for (size_t i = first; i < std::min(list.size(), first + batch); ++i)
            built.push_back(std::async(std::launch::async | std::launch::deferred, [&, i] {
                // A draw whose design is not the certified optimum of its
                // written points is replaced by the next of its own seeds.
                TDataSet data_set;
                for (std::uint64_t draw = 0; draw < MINIMAX_DRAWS; ++draw) {
                    data_set = Generate_Data_Set(list[i], static_cast<qint32>(i + 1),
                                                 Data_Set_Seed(seed, stream + 64 * draw, i + 1));
                    if (data_set.failure.isEmpty())
                        break;
                }
                return data_set;
            }));
        for (std::future<TDataSet> &data_set : built)
            data_sets.push_back(data_set.get());
    }
    return data_sets;
}
