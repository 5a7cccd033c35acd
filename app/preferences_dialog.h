#pragma once

#include "conversion/preferences.h"

#include <QDialog>

class QRadioButton;

// Modal dialog that shows and edits the user's one preference, the way the
// validation points are written into the program.
class TPreferencesDialog : public QDialog
{
    Q_OBJECT

public:
    using TPreferences = ::TPreferences;

    TPreferencesDialog(const QWidget *parent, Qt::WindowFlags flags);
    ~TPreferencesDialog() override = default;

    TPreferences Preferences() const;
    void Reset(const TPreferences &preferences);

private:
    QRadioButton *constructed_offset_points_radio;
    QRadioButton *measured_points_radio;
};
