#include "app/preferences_dialog.h"
#include "app/tessaline.h"

void TTessaline::Menu_Preferences()
{
    if (!preferences_dialog)
        preferences_dialog = new TPreferencesDialog(this, Qt::WindowFlags());
    preferences_dialog->Reset(preferences);

    // However the dialog is closed, the choice shown at that moment counts.
    preferences_dialog->exec();
    const TPreferences chosen = preferences_dialog->Preferences();

    // A program shown in the old point type no longer matches the preference.
    if (chosen.dmis_feature_type != preferences.dmis_feature_type)
        Clear_Text();
    preferences = chosen;
}
