#include "ui/JackOptionsDialog.h"

namespace ui {

bool JackOptionsDialog::OnInit() {
  Check(IDC_ON_SOUND_CARD, 0);
  Check(IDC_ON_MOTHERBOARD, 1);
  Check(IDC_LINEIN_REAR, 1);
  Check(IDC_MIC_SUBWOOFER, 0);
  Check(IDC_LINEIN_CENTER, 0);
  Check(IDC_DISABLE_MIDI, 0);
  Check(IDC_DISABLE_GAME, 0);
  return true;
}

bool JackOptionsDialog::OnClicked(int id) {
  switch (id) {
    case IDC_ON_MOTHERBOARD:
      Check(IDC_ON_SOUND_CARD, 0);
      Check(IDC_ON_MOTHERBOARD, 1);
      Enable(IDC_LINEIN_REAR, true);
      Enable(IDC_MIC_SUBWOOFER, true);
      Enable(IDC_LINEIN_CENTER, true);
      return true;
    case IDC_ON_SOUND_CARD:
      // The jack boxes keep their states while they are disabled.
      Check(IDC_ON_SOUND_CARD, 1);
      Check(IDC_ON_MOTHERBOARD, 0);
      Enable(IDC_LINEIN_REAR, false);
      Enable(IDC_MIC_SUBWOOFER, false);
      Enable(IDC_LINEIN_CENTER, false);
      return true;
    case IDC_LINEIN_CENTER:
      Check(IDC_LINEIN_REAR, 0);
      Check(IDC_MIC_SUBWOOFER, 0);
      Check(IDC_LINEIN_CENTER, 1);
      return true;
    case IDC_LINEIN_REAR:
      Check(IDC_LINEIN_REAR, 1);
      Check(IDC_LINEIN_CENTER, 0);
      return true;
    case IDC_MIC_SUBWOOFER:
      Check(IDC_LINEIN_CENTER, 0);
      return true;
    case win::IDOK:
      Install();
      return true;
    default:
      return false;
  }
}

void JackOptionsDialog::Install() {
  if (IsChecked(IDC_ON_SOUND_CARD)) {
    results.lineInSharesRearJack = 0;
    results.lineInSharesCenterJack = 0;
    results.micSharesSubwooferJack = 0;
  } else {
    results.lineInSharesRearJack = IsChecked(IDC_LINEIN_REAR) ? 1 : 0;
    results.lineInSharesCenterJack = IsChecked(IDC_LINEIN_CENTER) ? 1 : 0;
    results.micSharesSubwooferJack = IsChecked(IDC_MIC_SUBWOOFER) ? 1 : 0;
  }
  results.gamePortEnabled = IsChecked(IDC_DISABLE_GAME) ? 0 : 1;
  results.midiPortEnabled = IsChecked(IDC_DISABLE_MIDI) ? 0 : 1;
  EndDialog(win::IDOK);
}

}  // namespace ui
