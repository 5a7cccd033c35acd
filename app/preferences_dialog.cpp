#include "app/preferences_dialog.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSpacerItem>
#include <QVBoxLayout>

TPreferencesDialog::TPreferencesDialog(const QWidget *parent, Qt::WindowFlags flags)
    : QDialog(const_cast<QWidget *>(parent), flags)
{
    resize(400, 210);
    setWindowTitle(QStringLiteral("Preferences"));

    QGridLayout *grid_layout = new QGridLayout(this);

    QGroupBox *feature_type_box = new QGroupBox(QStringLiteral("DMIS Output Feature Type"), this);
    QVBoxLayout *feature_type_layout = new QVBoxLayout(feature_type_box);
    measured_points_radio = new QRadioButton(QStringLiteral("Measured Points"), feature_type_box);
    measured_points_radio->setChecked(true);
    feature_type_layout->addWidget(measured_points_radio);
    constructed_offset_points_radio =
        new QRadioButton(QStringLiteral("Constructed Offset Points"), feature_type_box);
    feature_type_layout->addWidget(constructed_offset_points_radio);
    grid_layout->addWidget(feature_type_box, 0, 0, 1, 1);

    grid_layout->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), 1, 0,
                         1, 1);

    QFrame *separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    grid_layout->addWidget(separator, 2, 0, 1, 1);

    // Return must not close the dialog, so the button never becomes the default.
    QHBoxLayout *button_layout = new QHBoxLayout();
    button_layout->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
    QPushButton *close_button = new QPushButton(QStringLiteral("Close"), this);
    close_button->setAutoDefault(false);
    button_layout->addWidget(close_button);
    grid_layout->addLayout(button_layout, 3, 0, 1, 1);

    connect(close_button, &QPushButton::clicked, this, &QWidget::close);
}

TPreferencesDialog::TPreferences TPreferencesDialog::Preferences() const
{
    TPreferences preferences;
    preferences.dmis_feature_type = measured_points_radio->isChecked()
                                        ? TPreferences::MEASURED_POINTS
                                        : TPreferences::CONSTRUCTED_OFFSET_POINTS;
    return preferences;
}

void TPreferencesDialog::Reset(const TPreferences &preferences)
{
    // A value naming neither type leaves the buttons as the user last saw them.
    switch (preferences.dmis_feature_type) {
    case TPreferences::MEASURED_POINTS:
        measured_points_radio->setChecked(true);
        break;
    case TPreferences::CONSTRUCTED_OFFSET_POINTS:
        constructed_offset_points_radio->setChecked(true);
        break;
    }
}
