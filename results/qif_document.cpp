#include "results/qif_document.h"

#include "results/feature_forms.h"
#include "results/results_text.h"

#include <QBuffer>
#include <QXmlStreamReader>

namespace {

const QString QIF3_NAMESPACE = QStringLiteral("http://qifstandards.org/xsd/qif3");
const QString QIF2_NAMESPACE = QStringLiteral("http://qifstandards.org/xsd/qif2");

const TFeatureType TYPES[] = {TFeatureType::PLANE,  TFeatureType::LINE,     TFeatureType::CIRCLE,
                              TFeatureType::SPHERE, TFeatureType::CYLINDER, TFeatureType::CONE,
                              TFeatureType::TORUS};
const int TYPE_COUNT = sizeof(TYPES) / sizeof(TYPES[0]);

const char *Type_Word(TFeatureType type)
{
    switch (type) {
    case TFeatureType::PLANE:
        return "Plane";
    case TFeatureType::LINE:
        return "Line";
    case TFeatureType::CIRCLE:
        return "Circle";
    case TFeatureType::SPHERE:
        return "Sphere";
    case TFeatureType::CYLINDER:
        return "Cylinder";
    case TFeatureType::CONE:
        return "Cone";
    case TFeatureType::TORUS:
        return "Torus";
    }
    return "";
}

// The XML reader's message as part of a diagnostic: "premature end of
// document". Its messages quote names from the file, so control characters
// are shown as U+FFFD and a long one is cut.
QString Sentence_Part(const QString &message)
{
    const int longest = 200;
    QString text = message.trimmed();
    if (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    if (text.size() > longest) {
        const bool pair = text.at(longest - 1).isHighSurrogate();
        text = text.left(pair ? longest - 1 : longest) + QLatin1String(" [...]");
    }
    for (QChar &c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            c = QChar(QChar::ReplacementCharacter);
        }
    }
    if (!text.isEmpty()) {
        text[0] = text.at(0).toLower();
    }
    return text;
}

// The line, counted as XML counts lines, of the first byte that is not
// UTF-8, or 0 when all are. The XML reader decodes ahead of what it parses,
// so its own line for such a byte may be far before it.
int First_Line_Not_Utf8(const char *begin, const char *end)
{
    int line = 1;
    const auto *p = reinterpret_cast<const unsigned char *>(begin);
    const auto *const stop = reinterpret_cast<const unsigned char *>(end);
    while (p != stop) {
        const unsigned char c = *p;
        if (c < 0x80) {
            if (c == '\n' || (c == '\r' && (p + 1 == stop || p[1] != '\n'))) {
                ++line;
            }
            ++p;
            continue;
        }
        // The second byte's range excludes overlong forms, surrogates and
        // what lies beyond U+10FFFF.
        int more = 0;
        unsigned char low = 0x80, high = 0xbf;
        if (c >= 0xc2 && c <= 0xdf) {
            more = 1;
        } else if (c >= 0xe0 && c <= 0xef) {
            more = 2;
            low = c == 0xe0 ? 0xa0 : 0x80;
            high = c == 0xed ? 0x9f : 0xbf;
        } else if (c >= 0xf0 && c <= 0xf4) {
            more = 3;
            low = c == 0xf0 ? 0x90 : 0x80;
            high = c == 0xf4 ? 0x8f : 0xbf;
        } else {
            return line;
        }
        if (stop - p <= more || p[1] < low || p[1] > high) {
            return line;
        }
        for (int n = 2; n <= more; ++n) {
            if (p[n] < 0x80 || p[n] > 0xbf) {
                return line;
            }
        }
        p += more + 1;
    }
    return 0;
}

// A QIF id (an xs:unsignedInt) or reference to one, -1 when the text is none.
qint64 Qif_Id(const QStringRef &text)
{
    bool read = false;
    const qulonglong id = text.trimmed().toULongLong(&read);
    return read && id <= 0xffffffffULL ? static_cast<qint64>(id) : -1;
}

qint64 Qif_Id(const QString &text)
{
    return Qif_Id(QStringRef(&text));
}

class TQifScanner
{
public:
    TQifScanner(const char *begin, const char *end, int wanted, TQifDocument &document)
        : content_(QByteArray::fromRawData(begin, static_cast<int>(end - begin))),
          buffer_(&content_), wanted_(wanted > 0 ? wanted : 1), document_(document)
    {
        // Read through a device, the reader decodes a piece at a time;
        // given the bytes, it would decode all of them at once, doubling
        // the memory a large file takes.
        buffer_.open(QIODevice::ReadOnly);
        reader_.setDevice(&buffer_);
        for (const TFeatureType type : TYPES) {
            measurement_names_[static_cast<int>(type)] = Measurement_Element(type, 3);
            actual_names_[static_cast<int>(type)] = Measurement_Element(type, 2);
        }
    }

    void Scan();

private:
    bool Is(const char *name) const
    {
        return reader_.name() == QLatin1String(name) && reader_.namespaceUri() == namespace_;
    }
    // Reads the children of the current element, calling read for those
    // it names and skipping the others.
    template <typename TRead> void Children(TRead read)
    {
        while (reader_.readNextStartElement()) {
            if (!read()) {
                reader_.skipCurrentElement();
            }
        }
    }
    int Line() const { return static_cast<int>(reader_.lineNumber()); }
    void Fail(int line, const QString &message)
    {
        document_.failed = true;
        document_.failure_line = line;
        document_.failure = message;
    }
    bool Root();
    void File_Units();
    void Linear_Unit(TQifLinearUnit &unit);
    void Features();
    void Results();
    void Measurement_Results();
    bool Measurement();
    void Axis(TQifMeasurement &measurement);
    void Algorithm(TQifAlgorithm &algorithm);
    bool Form();

    QByteArray content_;
    QBuffer buffer_;
    QXmlStreamReader reader_;
    const int wanted_;
    TQifDocument &document_;
    QString namespace_;
    QString measurement_names_[TYPE_COUNT];
    QString actual_names_[TYPE_COUNT];
    QString form_names_[TYPE_COUNT]; // empty for types without a form
};

void TQifScanner::Scan()
{
    if (Root()) {
        Children([this] {
            if (Is("FileUnits")) {
                File_Units();
            } else if (Is("Features")) {
                Features();
            } else if (Is(document_.major_version == 3 ? "Results" : "MeasurementsResults")) {
                Results();
            } else {
                return false;
            }
            return true;
        });
    }
    if (document_.failed) {
        return;
    }
    // Whatever follows must still be well-formed.
    while (!reader_.atEnd()) {
        reader_.readNext();
    }
    if (reader_.hasError()) {
        int line = Line();
        // Qt's own words for a byte its decoder cannot take.
        if (reader_.errorString() == QLatin1String("Encountered incorrectly encoded content.")) {
            const int not_utf8 =
                First_Line_Not_Utf8(content_.constData(), content_.constData() + content_.size());
            line = not_utf8 > 0 ? not_utf8 : line;
        }
        Fail(line, QStringLiteral("not well-formed XML: ") + Sentence_Part(reader_.errorString()));
    }
}

bool TQifScanner::Root()
{
    while (!reader_.atEnd()) {
        const QXmlStreamReader::TokenType token = reader_.readNext();
        if (token == QXmlStreamReader::DTD && !reader_.entityDeclarations().isEmpty()) {
            // Entities could expand a small file beyond any memory, and QIF
            // uses none: they are never expanded.
            Fail(Line(), QStringLiteral("the document type declaration declares entities (the "
                                        "first is %1), which QIF documents do not use; they are "
                                        "not expanded and the file is not read")
                             .arg(Quoted(reader_.entityDeclarations().first().name().toString())));
            return false;
        }
        if (token != QXmlStreamReader::StartElement) {
            continue;
        }
        const QString uri = reader_.namespaceUri().toString();
        if (reader_.name() != QLatin1String("QIFDocument")) {
            Fail(Line(), QStringLiteral("the root element is %1, not QIFDocument: the file is XML "
                                        "but not QIF")
                             .arg(Quoted(reader_.qualifiedName().toString())));
            return false;
        }
        if (uri != QIF3_NAMESPACE && uri != QIF2_NAMESPACE) {
            Fail(Line(),
                 QStringLiteral("the QIFDocument is in %1, which is neither QIF 3 (%2) nor QIF 2 "
                                "(%3)")
                     .arg(uri.isEmpty() ? QStringLiteral("no namespace")
                                        : QStringLiteral("the namespace ") + Quoted(uri),
                          QIF3_NAMESPACE, QIF2_NAMESPACE));
            return false;
        }
        namespace_ = uri;
        document_.major_version = uri == QIF3_NAMESPACE ? 3 : 2;
        for (const TFeatureType type : TYPES) {
            form_names_[static_cast<int>(type)] = Form_Element(type, document_.major_version);
        }
        document_.version =
            reader_.attributes().value(QLatin1String("versionQIF")).toString().simplified();
        return true;
    }
    return false;
}

void TQifScanner::File_Units()
{
    Children([this] {
        if (Is("PrimaryUnits")) {
            Children([this] {
                if (Is("LinearUnit")) {
                    document_.has_primary_unit = true;
                    Linear_Unit(document_.primary_unit);
                } else if (Is("AngularUnit")) {
                    document_.has_primary_angular_unit = true;
                    Linear_Unit(document_.primary_angular_unit);
                } else {
                    return false;
                }
                return true;
            });
        } else if (Is("OtherUnits")) {
            Children([this] {
                std::vector<TQifLinearUnit> *units = Is("LinearUnit") ? &document_.other_units
                                                     : Is("AngularUnit")
                                                         ? &document_.other_angular_units
                                                         : nullptr;
                if (!units) {
                    return false;
                }
                units->emplace_back();
                Linear_Unit(units->back());
                return true;
            });
        } else {
            return false;
        }
        return true;
    });
}

void TQifScanner::Linear_Unit(TQifLinearUnit &unit)
{
    unit = TQifLinearUnit();
    unit.line_number = Line();
    Children([this, &unit] {
        if (Is("UnitName")) {
            unit.name = reader_.readElementText(QXmlStreamReader::SkipChildElements).simplified();
        } else if (Is("UnitConversion")) {
            Children([this, &unit] {
                if (Is("Factor")) {
                    unit.has_factor = true;
                    unit.factor =
                        reader_.readElementText(QXmlStreamReader::SkipChildElements).toUtf8();
                } else if (Is("Offset")) {
                    unit.has_offset = true;
                    unit.offset =
                        reader_.readElementText(QXmlStreamReader::SkipChildElements).toUtf8();
                } else {
                    return false;
                }
                return true;
            });
        } else {
            return false;
        }
        return true;
    });
}

void TQifScanner::Features()
{
    Children([this] {
        if (!Is("FeatureItems")) {
            return false;
        }
        Children([this] {
            const QXmlStreamAttributes attributes = reader_.attributes();
            if (reader_.namespaceUri() != namespace_ ||
                !reader_.name().endsWith(QLatin1String("FeatureItem")) ||
                !attributes.hasAttribute(QLatin1String("id"))) {
                return false;
            }
            QString name;
            Children([this, &name] {
                if (!Is("FeatureName")) {
                    return false;
                }
                name = reader_.readElementText(QXmlStreamReader::SkipChildElements).simplified();
                return true;
            });
            document_.item_names.insert(attributes.value(QLatin1String("id")).toString().trimmed(),
                                        name);
            return true;
        });
        return true;
    });
}

void TQifScanner::Results()
{
    // QIF 3 and 2.1 gather the MeasurementResults in a MeasurementResultsSet;
    // QIF 2.0 has them right under MeasurementsResults.
    Children([this] {
        if (Is("MeasurementResultsSet")) {
            Children([this] {
                if (!Is("MeasurementResults")) {
                    return false;
                }
                Measurement_Results();
                return true;
            });
        } else if (document_.major_version == 2 && Is("MeasurementResults")) {
            Measurement_Results();
        } else {
            return false;
        }
        return true;
    });
}

void TQifScanner::Measurement_Results()
{
    if (++document_.measurement_results == 1) {
        document_.first_results_line = Line();
    }
    if (document_.measurement_results != wanted_) {
        reader_.skipCurrentElement();
        return;
    }
    const bool qif3 = document_.major_version == 3;
    Children([this, qif3] {
        if (Is("MeasuredCharacteristics")) {
            Children([this, qif3] {
                if (!Is(qif3 ? "CharacteristicMeasurements" : "CharacteristicActuals")) {
                    return false;
                }
                Children([this] { return Form(); });
                return true;
            });
            return true;
        }
        if (!Is("MeasuredFeatures")) {
            return false;
        }
        if (qif3) {
            Children([this] { return Measurement(); });
        } else {
            Children([this] {
                if (!Is("FeatureActuals")) {
                    return false;
                }
                Children([this] { return Measurement(); });
                return true;
            });
        }
        return true;
    });
}

bool TQifScanner::Measurement()
{
    if (reader_.namespaceUri() != namespace_) {
        return false;
    }
    const QString *names = document_.major_version == 3 ? measurement_names_ : actual_names_;
    int found = -1;
    for (int n = 0; n < TYPE_COUNT; ++n) {
        if (reader_.name() == names[n]) {
            found = n;
        }
    }
    if (found < 0) {
        return false;
    }
    document_.measurements.emplace_back();
    TQifMeasurement &measurement = document_.measurements.back();
    measurement.type = TYPES[found];
    measurement.line_number = Line();
    measurement.id = Qif_Id(reader_.attributes().value(QLatin1String("id")));
    const TFeatureType type = measurement.type;
    Children([this, &measurement, type] {
        if (Is("FeatureName")) {
            measurement.has_name = true;
            measurement.name =
                reader_.readElementText(QXmlStreamReader::SkipChildElements).simplified();
        } else if (Is("FeatureItemId")) {
            measurement.has_item_id = true;
            measurement.item_id_elsewhere = reader_.attributes().hasAttribute(QLatin1String("xId"));
            measurement.item_id =
                reader_.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
        } else if (Is("Location") && type != TFeatureType::CYLINDER && type != TFeatureType::CONE) {
            Read_Qif_Value(reader_, 3, measurement.location);
        } else if (Is("Normal") && (type == TFeatureType::PLANE || type == TFeatureType::LINE ||
                                    type == TFeatureType::CIRCLE)) {
            Read_Qif_Value(reader_, 3, measurement.normal);
        } else if (Is("Direction") && type == TFeatureType::LINE) {
            Read_Qif_Value(reader_, 3, measurement.direction);
        } else if (Is("Diameter") &&
                   (type == TFeatureType::CIRCLE || type == TFeatureType::SPHERE ||
                    type == TFeatureType::CYLINDER || type == TFeatureType::CONE)) {
            Read_Qif_Value(reader_, 1, measurement.diameter);
        } else if (Is("Axis") && (type == TFeatureType::CYLINDER || type == TFeatureType::CONE)) {
            measurement.has_axis = true;
            Axis(measurement);
        } else if (type == TFeatureType::CONE && (Is("HalfAngle") || Is("FullAngle"))) {
            measurement.half_angle = Is("HalfAngle");
            Read_Qif_Value(reader_, 1, measurement.angle, "angularUnit");
        } else if (type == TFeatureType::TORUS && Is("AxisVector")) {
            Read_Qif_Value(reader_, 3, measurement.direction);
        } else if (type == TFeatureType::TORUS && Is("MajorDiameter")) {
            Read_Qif_Value(reader_, 1, measurement.diameter);
        } else if (type == TFeatureType::TORUS && Is("MinorDiameter")) {
            Read_Qif_Value(reader_, 1, measurement.minor_diameter);
        } else if (Is("SubstituteFeatureAlgorithm")) {
            Algorithm(measurement.algorithm);
        } else {
            return false;
        }
        return true;
    });
    return true;
}

void TQifScanner::Axis(TQifMeasurement &measurement)
{
    Children([this, &measurement] {
        if (Is("AxisPoint")) {
            Read_Qif_Value(reader_, 3, measurement.location);
        } else if (Is("Direction")) {
            Read_Qif_Value(reader_, 3, measurement.direction);
        } else {
            return false;
        }
        return true;
    });
}

void TQifScanner::Algorithm(TQifAlgorithm &algorithm)
{
    Children([this, &algorithm] {
        if (!Is("SubstituteFeatureAlgorithmEnum")) {
            return false;
        }
        algorithm.present = true;
        algorithm.line_number = Line();
        algorithm.name = reader_.readElementText(QXmlStreamReader::SkipChildElements).simplified();
        return true;
    });
}

bool TQifScanner::Form()
{
    if (reader_.namespaceUri() != namespace_) {
        return false;
    }
    int found = -1;
    for (int n = 0; n < TYPE_COUNT; ++n) {
        if (!form_names_[n].isEmpty() && reader_.name() == form_names_[n]) {
            found = n;
        }
    }
    if (found < 0) {
        return false;
    }
    document_.forms.emplace_back();
    TQifForm &form = document_.forms.back();
    form.type = TYPES[found];
    form.line_number = Line();
    const char *ids = document_.major_version == 3 ? "FeatureMeasurementIds" : "FeatureActualIds";
    Children([this, &form, ids] {
        if (Is(ids)) {
            Children([this, &form] {
                if (!Is("Id")) {
                    return false;
                }
                const QString id =
                    reader_.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                if (form.id_count++ == 0) {
                    form.first_id = Qif_Id(id);
                    if (form.first_id < 0) {
                        form.first_id_text = id;
                    }
                }
                return true;
            });
        } else if (Is("Value")) {
            Read_Qif_Value(reader_, 1, form.value);
        } else if (Is("SubstituteFeatureAlgorithm")) {
            Algorithm(form.algorithm);
        } else {
            return false;
        }
        return true;
    });
    return true;
}

} // namespace

QString Form_Element(TFeatureType type, int major_version)
{
    const char *word = Qif_Form_Word(type);
    if (!word) {
        return QString();
    }
    return QLatin1String(word) +
           QLatin1String(major_version == 3 ? "CharacteristicMeasurement" : "CharacteristicActual");
}

QString Feature_Ids_Element(int major_version)
{
    return QLatin1String(major_version == 3 ? "FeatureMeasurementIds" : "FeatureActualIds");
}

QString Measurement_Element(TFeatureType type, int major_version)
{
    return QLatin1String(Type_Word(type)) +
           QLatin1String(major_version == 3 ? "FeatureMeasurement" : "FeatureActual");
}

TQifDocument Scan_Qif_Document(const char *begin, const char *end, int wanted)
{
    TQifDocument document;
    TQifScanner(begin, end, wanted, document).Scan();
    return document;
}
