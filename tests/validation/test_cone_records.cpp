#include "validation/validation_reader.h"

#include <QtTest>

// Cones without an apex are left out by the reader itself, so that the
// conversion and the grading, which both read through it, leave out the
// same records, whether or not anyone listens for diagnostics.

namespace {

class TRecordLog : public TValidationHandler
{
public:
    explicit TRecordLog(bool reporting_) : reporting(reporting_) {}

    void Feature(const TFeatureRecord &record) override
    {
        features << QString::number(record.number);
    }
    void Point(qint32, qint32, const TVector3 &) override {}
    void Feature_Complete() override { complete << features.last(); }
    void Surplus_Line() override {}
    bool Wants_Diagnostics() const override { return reporting; }
    void Diagnostic(const TValidationDiagnostic &diagnostic) override
    {
        if (diagnostic.kind == TValidationDiagnostic::CONE_WITHOUT_APEX) {
            without_apex << diagnostic.line_number;
        }
    }

    const bool reporting;
    QStringList features;
    QStringList complete;
    QList<int> without_apex;
};

} // namespace

class TestConeRecords : public QObject
{
    Q_OBJECT

private slots:
    void records_data();
    void records();
};

void TestConeRecords::records_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("complete");
    QTest::addColumn<QList<int>>("without_apex");

    const QByteArray header = "Best_Fit_Validation:Version=1:Type=Cone\n";
    QTest::newRow("valid cones")
        << header + "Cone 1 1 0 0 0 0 0 1 30 10 0\n1 2 3\nCone 2 1 0 0 0 1 0 0 179.9 10 0\n1 2 3\n"
        << QStringList{"1", "2"} << QList<int>{};
    QTest::newRow("no apex inside an open cone")
        << header + "Cone 1 2 0 0 0 0 0 1 30 10 0\n1 2 3\nCone 2 1 0 0 0 0 0 1 0 10 0\n"
                    "Cone 3 1 0 0 0 0 0 0 30 10 0\n4 5 6\n"
        << QStringList{"1"} << QList<int>{4, 5};
    QTest::newRow("apex angle of 180 and beyond")
        << header + "Cone 1 1 0 0 0 0 0 1 180 10 0\n1 2 3\nCone 2 1 0 0 0 0 0 1 1e3 10 0\n"
        << QStringList{} << QList<int>{2, 4};
    // Other types have no apex angle: a zero direction or field 9 of 0 is
    // theirs to keep.
    QTest::newRow("a cylinder is no cone")
        << QByteArray("Best_Fit_Validation:Version=1:Type=Cylinder\n"
                      "Cylinder 1 1 0 0 0 0 0 0 0 0\n1 2 3\n")
        << QStringList{"1"} << QList<int>{};
    QTest::newRow("a torus is no cone") << QByteArray("Best_Fit_Validation:Version=1:Type=Torus\n"
                                                      "Torus 1 1 0 0 0 0 0 0 0 0 0\n1 2 3\n")
                                        << QStringList{"1"} << QList<int>{};
}

void TestConeRecords::records()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, complete);
    QFETCH(QList<int>, without_apex);

    TRecordLog reported(true);
    Read_Validation_File(content, reported);
    QCOMPARE(reported.complete, complete);
    QCOMPARE(reported.without_apex, without_apex);

    TRecordLog silent(false);
    Read_Validation_File(content, silent);
    QCOMPARE(silent.features, reported.features);
    QCOMPARE(silent.complete, complete);
}

QTEST_APPLESS_MAIN(TestConeRecords)

#include "test_cone_records.moc"
