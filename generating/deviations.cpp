#include "generating/deviations.h"

#include <algorithm>
#include <cmath>

namespace {

double Dot(const std::vector<double> &a, const std::vector<double> &b)
{
    double sum = 0;
    for (size_t k = 0; k < a.size(); ++k)
        sum += a[k] * b[k];
    return sum;
}

// a -= s b
void Subtract(std::vector<double> &a, double s, const std::vector<double> &b)
{
    for (size_t k = 0; k < a.size(); ++k)
        a[k] -= s * b[k];
}

double Length(const std::vector<double> &a)
{
    return std::sqrt(Dot(a, a));
}

} // namespace

std::vector<double> Raw_Deviations(const TFootPoints &feet, TRandom &random)
{
    const size_t n = feet.position.size();
    const int components = feet.normal_2.empty() ? 1 : 2;
    std::vector<double> values;
    values.reserve(n * static_cast<size_t>(components));
    for (int component = 0; component < components; ++component) {
        struct
        {
            double order_1, order_2, amplitude, phase;
        } lobes[3];
        for (auto &lobe : lobes) {
            lobe.order_1 = 1 + random.Index(4);
            lobe.order_2 = random.Index(4);
            lobe.amplitude = random.Uniform(0.3, 1);
            lobe.phase = random.Uniform(0, 2 * PI);
        }
        for (size_t k = 0; k < n; ++k) {
            double f = 0.5 * random.Uniform(-1, 1);
            for (const auto &lobe : lobes) {
                const double turns =
                    lobe.order_1 * feet.cycle_1[k] + lobe.order_2 * feet.cycle_2[k];
                f += lobe.amplitude * Cosine(2 * PI * turns + lobe.phase);
            }
            values.push_back(f);
        }
    }
    return values;
}

void Project_Out(std::vector<double> &values, std::vector<TConditions> conditions)
{
    for (TConditions &block : conditions) {
        std::vector<std::vector<double>> basis;
        for (std::vector<double> &column : block.columns) {
            const double original = Length(column);
            if (original == 0)
                continue;
            // One pass is enough for columns as well conditioned as these;
            // the projection below is done twice.
            for (const std::vector<double> &q : basis)
                Subtract(column, Dot(q, column), q);
            const double remaining = Length(column);
            if (remaining <= 1e-9 * original)
                continue;
            for (double &c : column)
                c /= remaining;
            basis.push_back(std::move(column));
        }
        std::vector<double> part(block.count);
        for (size_t i = 0; i < block.count; ++i)
            part[i] = values[block.first + i * block.stride];
        for (int pass = 0; pass < 2; ++pass) {
            for (const std::vector<double> &q : basis)
                Subtract(part, Dot(q, part), q);
        }
        for (size_t i = 0; i < block.count; ++i)
            values[block.first + i * block.stride] = part[i];
    }
}

double Scale_To_Form(std::vector<double> &values, size_t points, double form, double largest_raw)
{
    const bool two = values.size() == 2 * points;
    double largest = 0;
    for (size_t k = 0; k < points; ++k) {
        const double second = two ? values[points + k] : 0;
        largest = std::max(largest, std::sqrt(values[k] * values[k] + second * second));
    }
    // What is left of a vector that lies in the columns' span is rounding.
    if (form == 0 || largest <= 1e-9 * largest_raw) {
        std::fill(values.begin(), values.end(), 0.0);
        return 0;
    }
    const double scale = form / largest;
    for (double &v : values)
        v *= scale;
    return form;
}
