#include "core/vector_measures.h"
#include "fitting/least_squares_fit.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// What NIST certifies its fits to, and more than enough for data of 5 decimals.
const double Length_Tolerance = 1e-9; // mm
const double Angle_Tolerance = 1e-9;  // rad

// The sets at hand, by folder; all of them must be there and reproduced.
const char *const Sets[] = {"plane/pla1",    "plane/pla2",     "plane/pla7",     "plane/pla17",
                            "plane/pla26",   "line/lin3",      "line/lin8",      "line/lin17",
                            "circle3d/cir7", "circle3d/cir10", "circle3d/cir25", "sphere/sph1",
                            "sphere/sph2",   "sphere/sph9",    "sphere/sph11",   "sphere/sph27",
                            "cylinder/cyl1", "cylinder/cyl7",  "cylinder/cyl8",  "cone/con1",
                            "cone/con7",     "cone/con12"};

// Whitespace-separated numbers: blanks or tabs, CR LF or LF line ends.
bool Read_Numbers(const QString &path, std::vector<double> &numbers, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = path + ": " + file.errorString();
        return false;
    }
    const QString text = QString::fromLatin1(file.readAll());
    for (const QString &token : text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)) {
        bool ok = false;
        const double value = token.toDouble(&ok);
        if (!ok) {
            error = path + ": not a number: " + token;
            return false;
        }
        numbers.push_back(value);
    }
    return true;
}

struct TDeviation
{
    double position = 0;
    double direction = 0;
    double diameter = 0;
    int sets = 0;
};

} // namespace

class TestFittingNist : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void reference_fit_data();
    void reference_fit();
    void cleanupTestCase();

private:
    QMap<QString, TDeviation> Largest;
};

void TestFittingNist::initTestCase()
{
    // The pairs are kept with the tests: their absence is a fault, not a skip.
    QVERIFY2(QDir(TESSALINE_NIST_DIR).exists(),
             qPrintable(QString("NIST reference pairs not found in %1").arg(TESSALINE_NIST_DIR)));
}

void TestFittingNist::reference_fit_data()
{
    QTest::addColumn<QString>("set");
    for (const char *set : Sets) {
        QTest::newRow(set) << QString(set);
    }
}

void TestFittingNist::reference_fit()
{
    QFETCH(QString, set);
    const QString base = QString(TESSALINE_NIST_DIR) + "/" + set;
    const QString type = set.section('/', 0, 0);

    std::vector<double> data;
    std::vector<double> reference;
    QString error;
    QVERIFY2(Read_Numbers(base + ".ds", data, error), qPrintable(error));
    QVERIFY2(Read_Numbers(base + ".fit", reference, error), qPrintable(error));
    QVERIFY(!data.empty());
    const double count = data[0];
    QVERIFY2(count >= 1 && count == std::floor(count), "bad point count");
    QCOMPARE(data.size(), static_cast<size_t>(1 + 3 * count));
    std::vector<TVector3> points;
    for (size_t i = 1; i + 2 < data.size(); i += 3) {
        points.emplace_back(data[i], data[i + 1], data[i + 2]);
    }

    TFit fit;
    size_t expected_numbers = 0;
    if (type == "plane") {
        fit = Fit_Plane(points);
        expected_numbers = 6;
    } else if (type == "line") {
        fit = Fit_Line(points);
        expected_numbers = 6;
    } else if (type == "circle3d") {
        fit = Fit_Circle(points);
        expected_numbers = 7;
    } else if (type == "sphere") {
        fit = Fit_Sphere(points);
        expected_numbers = 4;
    } else if (type == "cylinder") {
        fit = Fit_Cylinder(points);
        expected_numbers = 7;
    } else if (type == "cone") {
        fit = Fit_Cone(points);
        expected_numbers = 8;
    } else {
        QFAIL("unknown folder");
    }
    QCOMPARE(reference.size(), expected_numbers);
    QVERIFY2(fit.fitted, qPrintable(QString::fromStdString(fit.failure)));

    // Plane and line: NIST's point is the centroid. Circle and sphere: the
    // centre. Cylinder and cone: a point of the axis, compared as its
    // distance from the fitted axis; a cone's diameter where that point lies
    // along the fitted axis, NIST's from the orthogonal distance of its point
    // from the surface and the apex angle in degrees.
    const TVector3 position(reference[0], reference[1], reference[2]);
    TDeviation deviation;
    deviation.position = Length(fit.position - position);
    if (type != "sphere") {
        const TVector3 direction(reference[3], reference[4], reference[5]);
        deviation.direction = Angle_Up_To_Sign(fit.direction, direction);
    }
    const double along = (position - fit.position) ^ fit.direction;
    if (type == "cylinder" || type == "cone") {
        deviation.position = Length(position - fit.position - fit.direction * along);
    }
    if (type == "circle3d" || type == "cylinder") {
        deviation.diameter = std::abs(fit.diameter - reference[6]);
    } else if (type == "sphere") {
        deviation.diameter = std::abs(fit.diameter - reference[3]);
    } else if (type == "cone") {
        const double half_angle = reference[7] * std::acos(-1.0) / 360;
        const double diameter = 2 * reference[6] / std::cos(half_angle);
        deviation.diameter =
            std::abs(fit.diameter + 2 * along * std::tan(fit.apex_angle / 2) - diameter);
        deviation.direction =
            std::max(deviation.direction, std::abs(fit.apex_angle - 2 * half_angle));
    }

    // con7 has six points for a cone's six parameters: more than one cone
    // passes through them all, and the fit must find the one NIST states.
    TDeviation &largest = Largest[type];
    largest.position = std::max(largest.position, deviation.position);
    largest.direction = std::max(largest.direction, deviation.direction);
    largest.diameter = std::max(largest.diameter, deviation.diameter);
    ++largest.sets;

    const QString figures = QString("position %1 mm, direction %2 rad, diameter %3 mm")
                                .arg(deviation.position, 0, 'g', 3)
                                .arg(deviation.direction, 0, 'g', 3)
                                .arg(deviation.diameter, 0, 'g', 3);
    QVERIFY2(deviation.position <= Length_Tolerance, qPrintable(figures));
    QVERIFY2(deviation.direction <= Angle_Tolerance, qPrintable(figures));
    QVERIFY2(deviation.diameter <= Length_Tolerance, qPrintable(figures));
}

void TestFittingNist::cleanupTestCase()
{
    for (auto i = Largest.cbegin(); i != Largest.cend(); ++i) {
        qInfo("%s: %d sets, largest deviation: position %.3g mm, direction %.3g rad, diameter "
              "%.3g mm",
              qPrintable(i.key()), i.value().sets, i.value().position, i.value().direction,
              i.value().diameter);
    }
}

QTEST_GUILESS_MAIN(TestFittingNist)

#include "test_fitting_nist.moc"
