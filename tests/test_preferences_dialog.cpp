#include "app/preferences_dialog.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <QtTest>

#include <type_traits>

static_assert(std::is_same<TPreferencesDialog::TPreferences, TPreferences>::value,
              "the dialog edits the record the window holds");

namespace {

QRadioButton *Radio(TPreferencesDialog &dialog, const QString &text)
{
    for (QRadioButton *radio : dialog.findChildren<QRadioButton *>())
        if (radio->text() == text)
            return radio;
    return nullptr;
}

QRadioButton *Measured(TPreferencesDialog &dialog)
{
    return Radio(dialog, QStringLiteral("Measured Points"));
}

QRadioButton *Offset(TPreferencesDialog &dialog)
{
    return Radio(dialog, QStringLiteral("Constructed Offset Points"));
}

QPushButton *Close_Button(TPreferencesDialog &dialog)
{
    return dialog.findChild<QPushButton *>();
}

TPreferences With(int value)
{
    TPreferences preferences;
    preferences.dmis_feature_type = static_cast<TPreferences::TDMISFeatureType>(value);
    return preferences;
}

} // namespace

class TestPreferencesDialog : public QObject
{
    Q_OBJECT

private slots:
    void dialog_is_built_as_laid_out();
    void layout_rows_in_order();
    void preferences_read_the_measured_button_data();
    void preferences_read_the_measured_button();
    void return_does_not_close_the_dialog();
    void close_button_escape_and_window_close_close_it_data();
    void close_button_escape_and_window_close_close_it();
};

void TestPreferencesDialog::dialog_is_built_as_laid_out()
{
    QWidget parent;
    TPreferencesDialog dialog(&parent, Qt::WindowFlags());
    QCOMPARE(dialog.parentWidget(), &parent);
    QCOMPARE(dialog.size(), QSize(400, 210));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Preferences"));

    QVERIFY(Measured(dialog));
    QVERIFY(Offset(dialog));
    QVERIFY(Measured(dialog)->isChecked());
    QVERIFY(!Offset(dialog)->isChecked());
    QCOMPARE(dialog.Preferences().dmis_feature_type, TPreferences::MEASURED_POINTS);

    // Both buttons in one group box, so checking one unchecks the other.
    QGroupBox *box = qobject_cast<QGroupBox *>(Measured(dialog)->parentWidget());
    QVERIFY(box);
    QCOMPARE(box->title(), QStringLiteral("DMIS Output Feature Type"));
    QCOMPARE(Offset(dialog)->parentWidget(), box);
    Offset(dialog)->setChecked(true);
    QVERIFY(!Measured(dialog)->isChecked());

    QCOMPARE(dialog.findChildren<QPushButton *>().size(), 1);
    QPushButton *close = Close_Button(dialog);
    QCOMPARE(close->text(), QStringLiteral("Close"));
    QVERIFY(!close->autoDefault());
    QVERIFY(!close->isDefault());
}

void TestPreferencesDialog::layout_rows_in_order()
{
    TPreferencesDialog dialog(nullptr, Qt::WindowFlags());
    QGridLayout *grid = qobject_cast<QGridLayout *>(dialog.layout());
    QVERIFY(grid);
    QCOMPARE(grid->rowCount(), 4);
    QCOMPARE(grid->columnCount(), 1);

    QGroupBox *box = qobject_cast<QGroupBox *>(grid->itemAtPosition(0, 0)->widget());
    QVERIFY(box);
    QVBoxLayout *box_layout = qobject_cast<QVBoxLayout *>(box->layout());
    QVERIFY(box_layout);
    QCOMPARE(box_layout->count(), 2);
    QCOMPARE(box_layout->itemAt(0)->widget(), Measured(dialog));
    QCOMPARE(box_layout->itemAt(1)->widget(), Offset(dialog));

    QSpacerItem *vertical = grid->itemAtPosition(1, 0)->spacerItem();
    QVERIFY(vertical);
    QCOMPARE(vertical->sizeHint(), QSize(0, 0));
    QCOMPARE(vertical->sizePolicy().horizontalPolicy(), QSizePolicy::Minimum);
    QCOMPARE(vertical->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);

    QFrame *line = qobject_cast<QFrame *>(grid->itemAtPosition(2, 0)->widget());
    QVERIFY(line);
    QCOMPARE(line->frameShape(), QFrame::HLine);
    QCOMPARE(line->frameShadow(), QFrame::Sunken);

    QHBoxLayout *buttons = qobject_cast<QHBoxLayout *>(grid->itemAtPosition(3, 0)->layout());
    QVERIFY(buttons);
    QCOMPARE(buttons->count(), 2);
    QSpacerItem *horizontal = buttons->itemAt(0)->spacerItem();
    QVERIFY(horizontal);
    QCOMPARE(horizontal->sizeHint(), QSize(0, 0));
    QCOMPARE(horizontal->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(horizontal->sizePolicy().verticalPolicy(), QSizePolicy::Minimum);
    QCOMPARE(buttons->itemAt(1)->widget(), Close_Button(dialog));
}

void TestPreferencesDialog::preferences_read_the_measured_button_data()
{
    QTest::addColumn<bool>("offset_checked_before");
    QTest::addColumn<int>("reset_to");
    QTest::addColumn<int>("expected");

    QTest::newRow("measured") << false << 0 << 0;
    QTest::newRow("offset") << false << 1 << 1;
    QTest::newRow("measured after offset") << true << 0 << 0;
    QTest::newRow("2 keeps measured") << false << 2 << 0;
    QTest::newRow("7 keeps offset") << true << 7 << 1;
    QTest::newRow("negative keeps offset") << true << -1 << 1;
}

void TestPreferencesDialog::preferences_read_the_measured_button()
{
    QFETCH(bool, offset_checked_before);
    QFETCH(int, reset_to);
    QFETCH(int, expected);

    TPreferencesDialog dialog(nullptr, Qt::WindowFlags());
    if (offset_checked_before)
        Offset(dialog)->setChecked(true);
    dialog.Reset(With(reset_to));
    QCOMPARE(static_cast<int>(dialog.Preferences().dmis_feature_type), expected);
    QCOMPARE(Measured(dialog)->isChecked(), expected == 0);
    QCOMPARE(Offset(dialog)->isChecked(), expected == 1);
}

void TestPreferencesDialog::return_does_not_close_the_dialog()
{
    TPreferencesDialog dialog(nullptr, Qt::WindowFlags());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    Offset(dialog)->setFocus();
    QTest::keyClick(Offset(dialog), Qt::Key_Return);
    QTest::keyClick(Offset(dialog), Qt::Key_Enter);
    QTest::keyClick(&dialog, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QVERIFY(!Close_Button(dialog)->isDefault());
}

void TestPreferencesDialog::close_button_escape_and_window_close_close_it_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("Close button") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("window close button") << 2;
}

void TestPreferencesDialog::close_button_escape_and_window_close_close_it()
{
    QFETCH(int, way);

    TPreferencesDialog dialog(nullptr, Qt::WindowFlags());
    int result = -1;
    QTimer::singleShot(0, &dialog, [&] {
        Offset(dialog)->setChecked(true);
        if (way == 0)
            QTest::mouseClick(Close_Button(dialog), Qt::LeftButton);
        else if (way == 1)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            dialog.close();
    });
    result = dialog.exec();
    // Every way ends the modal run the same way, keeping the choice shown.
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.Preferences().dmis_feature_type, TPreferences::CONSTRUCTED_OFFSET_POINTS);
}

QTEST_MAIN(TestPreferencesDialog)
#include "test_preferences_dialog.moc"
