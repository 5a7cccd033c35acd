#include "results/dmis_results.h"

#include "results/dmis_statements.h"
#include "results/feature_forms.h"
#include "results/result_fields.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Fields after FEAT/TYPE that any form can have; more only count.
const int MAX_FIELDS = 12;

struct TCommaFields
{
    TField fields[MAX_FIELDS];
    int count = 0;
};

// The comma-separated fields of a text, blanks trimmed.
void Split_Commas(const TField &text, TCommaFields &split)
{
    split.count = 0;
    const char *start = text.begin;
    for (;;) {
        const char *comma = static_cast<const char *>(
            std::memchr(start, ',', static_cast<size_t>(text.end - start)));
        const char *field_end = comma ? comma : text.end;
        if (split.count < MAX_FIELDS) {
            split.fields[split.count] = Trim_Blanks(TField{start, field_end});
        }
        ++split.count;
        if (!comma) {
            return;
        }
        start = comma + 1;
    }
}

// Text after a keyword and the blanks that follow it, when the text starts
// with the keyword followed by blanks and then by the character after.
bool Skip_Keyword(TField &text, const char *keyword, char after)
{
    const size_t length = std::strlen(keyword);
    if (static_cast<size_t>(text.end - text.begin) <= length ||
        !Is_Keyword(TField{text.begin, text.begin + length}, keyword)) {
        return false;
    }
    const char *p = text.begin + length;
    while (p != text.end && Is_Blank(*p)) {
        ++p;
    }
    if (p == text.end || *p != after) {
        return false;
    }
    ++p;
    while (p != text.end && Is_Blank(*p)) {
        ++p;
    }
    text.begin = p;
    return true;
}

bool Is_Word(const TField &field)
{
    if (Is_Empty(field)) {
        return false;
    }
    for (const char *p = field.begin; p != field.end; ++p) {
        if (!((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z'))) {
            return false;
        }
    }
    return true;
}

const char *Form(TFeatureType type)
{
    switch (type) {
    case TFeatureType::PLANE:
        return "FEAT/PLANE,CART,x,y,z,i,j,k";
    case TFeatureType::LINE:
        return "FEAT/LINE,[UNBND,]CART,x,y,z,i,j,k[,i2,j2,k2] nor "
               "FEAT/LINE,BND,CART,x1,y1,z1,x2,y2,z2[,i2,j2,k2]";
    case TFeatureType::CIRCLE:
        return "FEAT/CIRCLE,INNER|OUTER,CART,x,y,z,i,j,k,diameter";
    case TFeatureType::SPHERE:
        return "FEAT/SPHERE,[INNER|OUTER,]CART,x,y,z,diameter";
    case TFeatureType::CYLINDER:
        return "FEAT/CYLNDR,INNER|OUTER,CART,x,y,z,i,j,k,diameter[,length]";
    case TFeatureType::CONE:
        return "FEAT/CONE,INNER|OUTER,CART,x,y,z,i,j,k,angle";
    case TFeatureType::TORUS:
        return "FEAT/TORUS,INNER|OUTER,CART,x,y,z,i,j,k,major diameter,minor diameter";
    }
    return "";
}

bool Type_Of(const TField &word, TFeatureType &type)
{
    static const struct
    {
        const char *keyword;
        TFeatureType type;
    } types[] = {{"PLANE", TFeatureType::PLANE},     {"LINE", TFeatureType::LINE},
                 {"CIRCLE", TFeatureType::CIRCLE},   {"SPHERE", TFeatureType::SPHERE},
                 {"CYLNDR", TFeatureType::CYLINDER}, {"CONE", TFeatureType::CONE},
                 {"TORUS", TFeatureType::TORUS}};
    for (const auto &candidate : types) {
        if (Is_Keyword(word, candidate.keyword)) {
            type = candidate.type;
            return true;
        }
    }
    return false;
}

// Where the fields of a form are, once its keywords have been recognised.
struct TLayout
{
    int cart = 0; // index of the CART field
    bool bounded = false;
    int count = 0;    // fields it needs, after FEAT/TYPE
    int optional = 0; // fields it may have beyond those, ignored
};

bool Layout(TFeatureType type, const TCommaFields &split, TLayout &layout)
{
    const TField *f = split.fields;
    const bool have_first = split.count > 0;
    const bool inner_outer = have_first && (Is_Keyword(f[0], "INNER") || Is_Keyword(f[0], "OUTER"));
    switch (type) {
    case TFeatureType::PLANE:
        layout = TLayout{0, false, 7, 0};
        return true;
    case TFeatureType::LINE:
        if (have_first && Is_Keyword(f[0], "BND")) {
            layout = TLayout{1, true, 8, 3};
        } else if (have_first && Is_Keyword(f[0], "UNBND")) {
            layout = TLayout{1, false, 8, 3};
        } else {
            layout = TLayout{0, false, 7, 3};
        }
        return true;
    case TFeatureType::CIRCLE:
        layout = TLayout{1, false, 9, 0};
        return inner_outer;
    case TFeatureType::SPHERE:
        layout = inner_outer ? TLayout{1, false, 6, 0} : TLayout{0, false, 5, 0};
        return true;
    case TFeatureType::CYLINDER:
        // The length after the diameter says where the fit's points lie,
        // not where the cylinder is.
        layout = TLayout{1, false, 9, 1};
        return inner_outer;
    case TFeatureType::CONE:
        layout = TLayout{1, false, 9, 0};
        return inner_outer;
    case TFeatureType::TORUS:
        layout = TLayout{1, false, 10, 0};
        return inner_outer;
    }
    return false;
}

const char *const POINT_NAMES[] = {"x", "y", "z", "i", "j", "k", "diameter"};
const char *const CONE_NAMES[] = {"x", "y", "z", "i", "j", "k", "angle"};
const char *const TORUS_NAMES[] = {
    "x", "y", "z", "i", "j", "k", "major diameter", "minor diameter"};
const char *const SPHERE_NAMES[] = {"x", "y", "z", "diameter"};
const char *const BOUNDED_NAMES[] = {"x1", "y1", "z1", "x2", "y2", "z2"};

class TDmisReader
{
public:
    explicit TDmisReader(TResultsCollector &collector) : collector_(collector) {}

    void Statement(const TDmisStatement &statement);
    int Results() const { return results_; }

private:
    void Comment_Join(const TDmisStatement &statement);
    void Units(const TField &rest, int line_number);
    void Angle_Unit(const TField &rest, int line_number);
    void Result(const TField &label, const TField &value, int line_number);
    // TA(label)=TOL/...: the form of a feature when it is one.
    void Form_Tolerance(const TDmisStatement &statement, const TField &label, const TField &value);
    // Fills in the result from the fields after FEAT/TYPE, or warns.
    bool Read_Form(const TReferenceLabel &reference, const TField &label, const TCommaFields &split,
                   int line_number, TTestedFeature &feature);

    TResultsCollector &collector_;
    double millimetres_per_unit_ = 1;
    bool unit_known_ = true;
    QString unknown_unit_;
    double radians_per_unit_ = RADIANS_PER_DEGREE; // ANGDEC unless a UNITS statement says
    bool angle_unit_known_ = true;
    QString unknown_angle_unit_;
    int results_ = 0; // FA(label)= statements
    // The feature actual last read: where the collector keeps it and its
    // reference feature, or -1 when its label is not in the reference.
    int last_position_ = -1;
    int last_index_ = -1;
};

void TDmisReader::Comment_Join(const TDmisStatement &statement)
{
    if (statement.comment_join) {
        collector_.Warn(statement.line_number,
                        QStringLiteral("statement broken after a comma with a \"$$\" comment where "
                                       "a \"$\" belongs; read as continued on the next line"));
    }
}

void TDmisReader::Statement(const TDmisStatement &statement)
{
    TField text = Trim_Blanks(statement.text);
    if (Skip_Keyword(text, "UNITS", '/')) {
        Comment_Join(statement);
        Units(text, statement.line_number);
        return;
    }
    // FA(label)=..., the actual of a feature, and TA(label)=..., a
    // tolerance's actual; F(label)= nominals and every other statement say
    // nothing about the results.
    const bool actual = Skip_Keyword(text, "FA", '(');
    if (!actual && !Skip_Keyword(text, "TA", '(')) {
        return;
    }
    const char *close = static_cast<const char *>(
        std::memchr(text.begin, ')', static_cast<size_t>(text.end - text.begin)));
    if (!close) {
        return;
    }
    const TField label = Trim_Blanks(TField{text.begin, close});
    const char *p = close + 1;
    while (p != text.end && Is_Blank(*p)) {
        ++p;
    }
    if (p == text.end || *p != '=') {
        return;
    }
    const TField value = Trim_Blanks(TField{p + 1, text.end});
    if (!actual) {
        Form_Tolerance(statement, label, value);
        return;
    }
    ++results_;
    Comment_Join(statement);
    Result(label, value, statement.line_number);
}

void TDmisReader::Units(const TField &rest, int line_number)
{
    const char *comma = static_cast<const char *>(
        std::memchr(rest.begin, ',', static_cast<size_t>(rest.end - rest.begin)));
    const TField unit = Trim_Blanks(TField{rest.begin, comma ? comma : rest.end});
    Angle_Unit(comma ? TField{comma + 1, rest.end} : TField{rest.end, rest.end}, line_number);
    static const struct
    {
        const char *keyword;
        double millimetres;
    } units[] = {{"MM", 1},       {"CM", 10},     {"M", 1000},
                 {"METER", 1000}, {"INCH", 25.4}, {"FEET", 304.8}};
    for (const auto &known : units) {
        if (Is_Keyword(unit, known.keyword)) {
            millimetres_per_unit_ = known.millimetres;
            unit_known_ = true;
            return;
        }
    }
    // Never a guess: a wrong unit would grade every result by a factor.
    unit_known_ = false;
    unknown_unit_ = Quoted(unit);
    collector_.Warn(line_number, QStringLiteral("unknown length unit %1; results cannot be used "
                                                "until a known UNITS statement")
                                     .arg(unknown_unit_));
}

void TDmisReader::Angle_Unit(const TField &rest, int line_number)
{
    const char *comma = static_cast<const char *>(
        std::memchr(rest.begin, ',', static_cast<size_t>(rest.end - rest.begin)));
    const TField unit = Trim_Blanks(TField{rest.begin, comma ? comma : rest.end});
    angle_unit_known_ = true;
    if (Is_Empty(unit) || Is_Keyword(unit, "ANGDEC")) {
        radians_per_unit_ = RADIANS_PER_DEGREE;
        return;
    }
    if (Is_Keyword(unit, "ANGRAD")) {
        radians_per_unit_ = 1;
        return;
    }
    // ANGDMS among them: its degrees, minutes and seconds are not read as
    // a number, and a guess would grade every cone wrongly.
    angle_unit_known_ = false;
    unknown_angle_unit_ = Quoted(unit);
    collector_.Warn(line_number, QStringLiteral("angular unit %1 is not read (ANGDEC or ANGRAD); "
                                                "cone angles cannot be used until a UNITS "
                                                "statement with a known one")
                                     .arg(unknown_angle_unit_));
}

void TDmisReader::Result(const TField &label, const TField &value, int line_number)
{
    const int index = collector_.Match(label, line_number);
    last_index_ = index;
    last_position_ = -1;
    if (index < 0) {
        return;
    }
    const TReferenceLabel &reference = collector_.Reference(index);
    TTestedFeature feature;
    feature.line_number = line_number;
    TField rest = value;
    if (!Skip_Keyword(rest, "FEAT", '/')) {
        collector_.Warn(line_number, QStringLiteral("result for %1 does not read as %2")
                                         .arg(Quoted(label), QLatin1String(Form(reference.type))));
        last_position_ = collector_.Add(index, feature);
        return;
    }
    const char *comma = static_cast<const char *>(
        std::memchr(rest.begin, ',', static_cast<size_t>(rest.end - rest.begin)));
    const TField word = Trim_Blanks(TField{rest.begin, comma ? comma : rest.end});
    TFeatureType type = reference.type;
    if (Is_Empty(word)) {
        collector_.Warn(line_number, QStringLiteral("result for %1 does not read as %2")
                                         .arg(Quoted(label), QLatin1String(Form(reference.type))));
    } else if (!Type_Of(word, type) || type != reference.type) {
        collector_.Warn(line_number,
                        QStringLiteral("result for %1 is FEAT/%2, the reference feature is %3")
                            .arg(Quoted(label), Quoted(word).mid(1).chopped(1),
                                 QLatin1String(Type_Name(reference.type))));
    } else {
        TCommaFields split;
        if (comma) {
            Split_Commas(TField{comma + 1, rest.end}, split);
        }
        feature.usable = Read_Form(reference, label, split, line_number, feature);
    }
    if (!feature.usable) {
        // Nothing of a result that cannot be used is passed on.
        const int line = feature.line_number;
        feature = TTestedFeature();
        feature.line_number = line;
    }
    last_position_ = collector_.Add(index, feature);
}

void TDmisReader::Form_Tolerance(const TDmisStatement &statement, const TField &label,
                                 const TField &value)
{
    TField rest = value;
    if (!Skip_Keyword(rest, "TOL", '/')) {
        return;
    }
    const char *comma = static_cast<const char *>(
        std::memchr(rest.begin, ',', static_cast<size_t>(rest.end - rest.begin)));
    const TField word = Trim_Blanks(TField{rest.begin, comma ? comma : rest.end});
    static const char *const forms[] = {"STRGHT", "FLAT", "CIRLTY", "CYLCTY"};
    const char *form = nullptr;
    for (const char *candidate : forms) {
        if (Is_Keyword(word, candidate)) {
            form = candidate;
        }
    }
    if (!form) {
        // Positions, sizes, orientations: the grading computes those itself.
        return;
    }
    const int line_number = statement.line_number;
    Comment_Join(statement);
    const QString tolerance = Quoted(label);

    // The feature it belongs to: the one its label names as FORM_<label>,
    // else the actual just before it, as OUTPUT/FA(...),TA(...) writes them.
    const QString text = QString::fromUtf8(label.begin, static_cast<int>(label.end - label.begin));
    const QLatin1String prefix("FORM_");
    int index = text.startsWith(prefix, Qt::CaseInsensitive)
                    ? collector_.Find(text.mid(prefix.size()))
                    : -1;
    int position = -1;
    if (index >= 0) {
        position = collector_.Latest(index);
        if (position < 0) {
            collector_.Warn(line_number, QStringLiteral("form tolerance %1 comes before any actual "
                                                        "of %2; it is not read")
                                             .arg(tolerance, collector_.Reference(index).label));
            return;
        }
    } else {
        if (results_ == 0) {
            collector_.Warn(line_number, QStringLiteral("form tolerance %1 follows no feature "
                                                        "actual; it is not read")
                                             .arg(tolerance));
            return;
        }
        // An actual not in the reference has been warned about; its form
        // is not graded either.
        if (last_index_ < 0 || last_position_ < 0) {
            return;
        }
        index = last_index_;
        position = last_position_;
    }
    const TFeatureType type = collector_.Reference(index).type;
    const char *expected = Dmis_Form_Tolerance(type);
    const QString owner = collector_.Reference(index).label;
    if (!expected || std::strcmp(expected, form) != 0) {
        collector_.Warn(line_number,
                        QStringLiteral("form tolerance %1 is TOL/%2, not the form of the %3 %4%5; "
                                       "it is not read")
                            .arg(tolerance, QLatin1String(form),
                                 QLatin1String(Type_Name(type)).mid(2), owner,
                                 expected ? QStringLiteral(" (TOL/%1)").arg(QLatin1String(expected))
                                          : QString()));
        return;
    }
    TCommaFields split;
    if (comma) {
        Split_Commas(TField{comma + 1, rest.end}, split);
    }
    if (split.count < 1 || split.count > 2 ||
        (split.count == 2 && !Is_Keyword(split.fields[1], "INTOL") &&
         !Is_Keyword(split.fields[1], "OUTOL"))) {
        collector_.Warn(line_number,
                        QStringLiteral("form tolerance %1 does not read as "
                                       "TA(label)=TOL/%2,actual[,INTOL|OUTOL]; it is not read")
                            .arg(tolerance, QLatin1String(form)));
        return;
    }
    if (!unit_known_) {
        collector_.Warn(line_number, QStringLiteral("form tolerance %1 is in the unknown length "
                                                    "unit %2; it is not read")
                                         .arg(tolerance, unknown_unit_));
        return;
    }
    double millimetres = 0;
    double resolution = 0;
    const TResultNumber number{split.fields[0], 2, "form", true, false};
    if (!Read_Result_Number(number, millimetres_per_unit_, line_number, collector_, millimetres,
                            resolution)) {
        return;
    }
    TTestedFeature &feature = collector_.At(position);
    // Nothing is passed on for a result that cannot be used.
    if (!feature.usable) {
        return;
    }
    feature.has_form = true;
    feature.form = millimetres;
    feature.form_resolution = resolution;
}

bool TDmisReader::Read_Form(const TReferenceLabel &reference, const TField &label,
                            const TCommaFields &split, int line_number, TTestedFeature &feature)
{
    const QString form_warning = QStringLiteral("result for %1 does not read as %2")
                                     .arg(Quoted(label), QLatin1String(Form(reference.type)));
    TLayout layout;
    if (!Layout(reference.type, split, layout) || split.count <= layout.cart) {
        collector_.Warn(line_number, form_warning);
        return false;
    }
    const TField &cart = split.fields[layout.cart];
    if (!Is_Keyword(cart, "CART")) {
        collector_.Warn(line_number,
                        Is_Word(cart)
                            ? QStringLiteral("coordinates %1 are not CART").arg(Quoted(cart))
                            : form_warning);
        return false;
    }
    if (split.count != layout.count &&
        !(layout.optional > 0 && split.count == layout.count + layout.optional)) {
        collector_.Warn(line_number, form_warning);
        return false;
    }

    // The numbers in the order they are written; field 1 is FA(label)=FEAT/TYPE.
    const int first = layout.cart + 1;
    const int numbers = layout.count - first;
    const bool cone = reference.type == TFeatureType::CONE;
    const char *const *names = reference.type == TFeatureType::SPHERE  ? SPHERE_NAMES
                               : layout.bounded                        ? BOUNDED_NAMES
                               : cone                                  ? CONE_NAMES
                               : reference.type == TFeatureType::TORUS ? TORUS_NAMES
                                                                       : POINT_NAMES;
    double values[8] = {};
    double resolutions[8] = {};
    bool read = true;
    for (int n = 0; n < numbers; ++n) {
        const bool direction =
            !layout.bounded && reference.type != TFeatureType::SPHERE && n >= 3 && n < 6;
        const bool angle = cone && n == 6;
        const TResultNumber number{split.fields[first + n], first + n + 2, names[n],
                                   !direction && !angle, angle};
        const double factor = angle         ? (angle_unit_known_ ? radians_per_unit_ : 1.0)
                              : unit_known_ ? millimetres_per_unit_
                                            : 1.0;
        read = Read_Result_Number(number, factor, line_number, collector_, values[n],
                                  resolutions[n]) &&
               read;
    }
    if (!unit_known_) {
        collector_.Warn(line_number,
                        QStringLiteral("result for %1 is in the unknown length unit %2")
                            .arg(Quoted(label), unknown_unit_));
        return false;
    }
    if (cone && !angle_unit_known_) {
        collector_.Warn(line_number,
                        QStringLiteral("result for %1 is in the angular unit %2, which is not read")
                            .arg(Quoted(label), unknown_angle_unit_));
        return false;
    }
    if (!read) {
        return false;
    }
    if (cone &&
        !Usable_Cone_Angle(values[6], QStringLiteral("field %1 \"angle\"").arg(first + 6 + 2),
                           line_number, collector_)) {
        return false;
    }

    feature.position = TVector3(values[0], values[1], values[2]);
    feature.position_resolution = qMax(resolutions[0], qMax(resolutions[1], resolutions[2]));
    if (reference.type == TFeatureType::SPHERE) {
        feature.diameter = values[3];
        feature.diameter_resolution = resolutions[3];
        return true;
    }
    if (!layout.bounded) {
        feature.direction = TVector3(values[3], values[4], values[5]);
        feature.direction_resolution = qMax(resolutions[3], qMax(resolutions[4], resolutions[5]));
        switch (reference.type) {
        case TFeatureType::CIRCLE:
        case TFeatureType::CYLINDER:
        case TFeatureType::TORUS:
            feature.diameter = values[6];
            feature.diameter_resolution = resolutions[6];
            break;
        case TFeatureType::CONE:
            // The point written is the vertex, where the diameter is 0.
            feature.apex_angle = values[6];
            feature.apex_angle_resolution = resolutions[6];
            break;
        default:
            break;
        }
        if (reference.type == TFeatureType::TORUS) {
            feature.minor_diameter = values[7];
            feature.minor_diameter_resolution = resolutions[7];
        }
        return true;
    }
    const TVector3 second(values[3], values[4], values[5]);
    feature.direction = second - feature.position;
    const TVector3 &d = feature.direction;
    if (!std::isfinite(d.x) || !std::isfinite(d.y) || !std::isfinite(d.z)) {
        collector_.Warn(line_number, QStringLiteral("the direction from the first to the second "
                                                    "point of %1 is beyond the range of a number")
                                         .arg(Quoted(label)));
        return false;
    }
    double resolution = 0;
    for (int n = 0; n < 6; ++n) {
        resolution = qMax(resolution, resolutions[n]);
    }
    // Each point may be off by the resolution across the line, which turns
    // the direction by up to 2 r / distance; two equal points give no
    // direction at all.
    const double distance = std::hypot(d.x, d.y, d.z);
    const double turn =
        distance > 0 ? 2 * resolution / distance : std::numeric_limits<double>::infinity();
    feature.direction_resolution = turn >= 0 ? turn : std::numeric_limits<double>::infinity();
    return true;
}

} // namespace

int Read_Dmis_Results(const char *begin, const char *end, TResultsCollector &collector)
{
    TDmisReader reader(collector);
    TDmisStatements statements(begin, end);
    TDmisStatement statement;
    while (statements.Next(statement)) {
        reader.Statement(statement);
    }
    return reader.Results();
}
