#include "app/preferences_dialog.h"
#include "dialog_driver.h"
#include "validation_samples.h"
#include "window_access.h"

#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

namespace {

QRadioButton *Radio(QWidget *dialog, const QString &text)
{
    for (QRadioButton *radio : dialog->findChildren<QRadioButton *>())
        if (radio->text() == text)
            return radio;
    return nullptr;
}

QRadioButton *Measured(QWidget *dialog)
{
    return Radio(dialog, QStringLiteral("Measured Points"));
}

QRadioButton *Offset(QWidget *dialog)
{
    return Radio(dialog, QStringLiteral("Constructed Offset Points"));
}

// On the indicator: a radio button only takes clicks on its indicator and text.
void Click_Radio(QRadioButton *radio)
{
    QTest::mouseClick(radio, Qt::LeftButton, Qt::NoModifier, QPoint(6, radio->height() / 2));
}

void Click_Close(QWidget *dialog)
{
    QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
}

// What the dialog showed when it came up, before the step touched it.
struct TShown
{
    bool measured = false;
    bool offset = false;
    TPreferencesDialog *dialog = nullptr;
};

// Answers the preferences dialog: notes what it shows, clicks the given
// buttons one after the other and closes it with "Close".
void Answer_Preferences(TDialogDriver &driver, TShown *shown, const QStringList &clicks)
{
    driver.Then([shown, clicks](QWidget *widget) {
        TPreferencesDialog *dialog = qobject_cast<TPreferencesDialog *>(widget);
        if (!dialog)
            return false;
        *shown = {Measured(dialog)->isChecked(), Offset(dialog)->isChecked(), dialog};
        for (const QString &text : clicks)
            Click_Radio(Radio(dialog, text));
        Click_Close(dialog);
        return true;
    });
}

} // namespace

class TestMenuPreferences : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dialog_is_made_on_first_use_and_kept();
    void first_use_shows_the_stored_type();
    void closing_without_a_change_keeps_the_program_data();
    void closing_without_a_change_keeps_the_program();
    void a_change_empties_the_view_until_the_next_open();
    void stored_value_outside_the_types_is_settled_data();
    void stored_value_outside_the_types_is_settled();
    void return_inside_the_dialog_does_not_close_it();
    void every_way_of_closing_counts_the_same_data();
    void every_way_of_closing_counts_the_same();

private:
    void Open_Sample(TTessaline &window);

    std::unique_ptr<TFreshHome> home;
};

void TestMenuPreferences::init()
{
    home.reset(new TFreshHome);
    QVERIFY(home->Valid());
}

void TestMenuPreferences::cleanup()
{
    home.reset();
}

void TestMenuPreferences::Open_Sample(TTessaline &window)
{
    const QString file_name = home->Path() + QStringLiteral("/plane.dat");
    QVERIFY(Write_File(file_name, Plane_File()));
    TDialogDriver driver;
    driver.Choose_File(file_name);
    Open_Action(window)->trigger();
    QVERIFY2(driver.Unexpected().isEmpty(), qPrintable(driver.Unexpected().join('\n')));
    QVERIFY(driver.Finished());
    QVERIFY(Export_Action(window)->isEnabled());
}

void TestMenuPreferences::dialog_is_made_on_first_use_and_kept()
{
    TTessaline window;
    QVERIFY(!window.findChild<TPreferencesDialog *>());

    TShown first;
    TShown second;
    TDialogDriver driver;
    Answer_Preferences(driver, &first, {});
    Preferences_Action(window)->trigger();
    Answer_Preferences(driver, &second, {});
    Preferences_Action(window)->trigger();

    QVERIFY(driver.Finished());
    QVERIFY(first.dialog);
    QCOMPARE(first.dialog->parent(), &window);
    QCOMPARE(second.dialog, first.dialog);
    QCOMPARE(window.findChildren<TPreferencesDialog *>().size(), 1);
    QCOMPARE(first.dialog->windowFlags() & Qt::WindowType_Mask, Qt::Dialog);
}

void TestMenuPreferences::first_use_shows_the_stored_type()
{
    TTessaline window;
    window.preferences.dmis_feature_type = TPreferences::CONSTRUCTED_OFFSET_POINTS;
    TShown shown;
    TDialogDriver driver;
    Answer_Preferences(driver, &shown, {});
    Preferences_Action(window)->trigger();
    QVERIFY(driver.Finished());
    QVERIFY(shown.offset);
    QVERIFY(!shown.measured);
    QCOMPARE(window.preferences.dmis_feature_type, TPreferences::CONSTRUCTED_OFFSET_POINTS);
}

void TestMenuPreferences::closing_without_a_change_keeps_the_program_data()
{
    QTest::addColumn<bool>("open_first");
    QTest::addColumn<int>("start_type");
    QTest::addColumn<QStringList>("clicks");

    const QString measured = QStringLiteral("Measured Points");
    const QString offset = QStringLiteral("Constructed Offset Points");
    QTest::newRow("banner, untouched") << false << 0 << QStringList();
    QTest::newRow("program, untouched") << true << 0 << QStringList();
    QTest::newRow("program, to offset and back") << true << 0 << QStringList{offset, measured};
    QTest::newRow("offset program, to measured and back")
        << true << 1 << QStringList{measured, offset};
    QTest::newRow("program, clicking the checked button") << true << 0 << QStringList{measured};
}

void TestMenuPreferences::closing_without_a_change_keeps_the_program()
{
    QFETCH(bool, open_first);
    QFETCH(int, start_type);
    QFETCH(QStringList, clicks);

    TTessaline window;
    window.preferences.dmis_feature_type = static_cast<TPreferences::TDMISFeatureType>(start_type);
    if (open_first)
        Open_Sample(window);
    const QString view_before = View_Of(window)->toPlainText();
    const QString buffer_before = window.dmis_text;
    const bool export_before = Export_Action(window)->isEnabled();
    const size_t features_before = window.construction_features.size();

    TShown shown;
    TDialogDriver driver;
    Answer_Preferences(driver, &shown, clicks);
    Preferences_Action(window)->trigger();
    QVERIFY(driver.Finished());

    QCOMPARE(static_cast<int>(window.preferences.dmis_feature_type), start_type);
    QCOMPARE(View_Of(window)->toPlainText(), view_before);
    QCOMPARE(window.dmis_text, buffer_before);
    QCOMPARE(Export_Action(window)->isEnabled(), export_before);
    QCOMPARE(window.construction_features.size(), features_before);
}

void TestMenuPreferences::a_change_empties_the_view_until_the_next_open()
{
    TTessaline window;
    Open_Sample(window);
    const QString measured_program = View_Of(window)->toPlainText();
    QVERIFY(!measured_program.contains(QStringLiteral("PT_ZERO")));

    TShown shown;
    TDialogDriver driver;
    Answer_Preferences(driver, &shown, {QStringLiteral("Constructed Offset Points")});
    Preferences_Action(window)->trigger();
    QVERIFY(driver.Finished());

    QCOMPARE(window.preferences.dmis_feature_type, TPreferences::CONSTRUCTED_OFFSET_POINTS);
    QCOMPARE(View_Of(window)->toPlainText(), QString());
    QCOMPARE(window.dmis_text, QString());
    QVERIFY(window.construction_features.empty());
    QVERIFY(!Export_Action(window)->isEnabled());

    // The same file opened again now gives the program with offset points.
    Open_Sample(window);
    const QString offset_program = View_Of(window)->toPlainText();
    QVERIFY(offset_program.contains(QStringLiteral("F(PT_ZERO)=FEAT/POINT,0,0,0,0,0,1")));
    QVERIFY(offset_program.contains(QStringLiteral("MOVEPT")));
    TValidationConverter converter;
    converter.preferences.dmis_feature_type = TPreferences::CONSTRUCTED_OFFSET_POINTS;
    converter.Convert(Plane_File());
    QCOMPARE(offset_program, converter.dmis_text);
}

void TestMenuPreferences::stored_value_outside_the_types_is_settled_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("expected");

    QTest::newRow("2, untouched") << 2 << QStringList() << 0;
    QTest::newRow("7, untouched") << 7 << QStringList() << 0;
    QTest::newRow("2, offset chosen") << 2 << QStringList{"Constructed Offset Points"} << 1;
    QTest::newRow("7, offset chosen") << 7 << QStringList{"Constructed Offset Points"} << 1;
}

void TestMenuPreferences::stored_value_outside_the_types_is_settled()
{
    QFETCH(int, stored);
    QFETCH(QStringList, clicks);
    QFETCH(int, expected);

    QVERIFY(QDir().mkpath(home->Path() + QStringLiteral("/.tessaline")));
    {
        QSettings settings(Settings_File_Path(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("DMIS_Feature_Type"), stored);
    }
    std::unique_ptr<TTessaline> window(new TTessaline);
    QCOMPARE(static_cast<int>(window->preferences.dmis_feature_type), stored);

    TShown shown;
    TDialogDriver driver;
    Answer_Preferences(driver, &shown, clicks);
    Preferences_Action(*window)->trigger();
    QVERIFY(driver.Finished());

    // The buttons stay as built, so the value read back differs and clears.
    QVERIFY(shown.measured);
    QCOMPARE(static_cast<int>(window->preferences.dmis_feature_type), expected);
    QCOMPARE(View_Of(*window)->toPlainText(), QString());
    QCOMPARE(window->dmis_text, QString());

    window->close();
    window.reset();
    QSettings settings(Settings_File_Path(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("DMIS_Feature_Type")).toInt(), expected);
}

void TestMenuPreferences::return_inside_the_dialog_does_not_close_it()
{
    TTessaline window;
    bool open_after_return = false;
    TDialogDriver driver;
    driver.Then([&open_after_return](QWidget *widget) {
        TPreferencesDialog *dialog = qobject_cast<TPreferencesDialog *>(widget);
        if (!dialog)
            return false;
        Click_Radio(Offset(dialog));
        QWidget *focus = dialog->focusWidget() ? dialog->focusWidget() : dialog;
        QTest::keyClick(focus, Qt::Key_Return);
        QTest::keyClick(focus, Qt::Key_Enter);
        open_after_return = dialog->isVisible();
        Click_Close(dialog);
        return true;
    });
    Preferences_Action(window)->trigger();
    QVERIFY(driver.Finished());
    QVERIFY(open_after_return);
    QCOMPARE(window.preferences.dmis_feature_type, TPreferences::CONSTRUCTED_OFFSET_POINTS);
}

void TestMenuPreferences::every_way_of_closing_counts_the_same_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("Close button") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("window close button") << 2;
}

void TestMenuPreferences::every_way_of_closing_counts_the_same()
{
    QFETCH(int, way);

    TTessaline window;
    TDialogDriver driver;
    driver.Then([way](QWidget *widget) {
        TPreferencesDialog *dialog = qobject_cast<TPreferencesDialog *>(widget);
        if (!dialog)
            return false;
        Click_Radio(Offset(dialog));
        if (way == 0)
            Click_Close(dialog);
        else if (way == 1)
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            dialog->close();
        return true;
    });
    Preferences_Action(window)->trigger();
    QVERIFY(driver.Finished());
    QVERIFY(driver.Unexpected().isEmpty());
    QCOMPARE(window.preferences.dmis_feature_type, TPreferences::CONSTRUCTED_OFFSET_POINTS);
    QCOMPARE(View_Of(window)->toPlainText(), QString());
    QVERIFY(!Export_Action(window)->isEnabled());
}

QTEST_MAIN(TestMenuPreferences)
#include "test_menu_preferences.moc"
