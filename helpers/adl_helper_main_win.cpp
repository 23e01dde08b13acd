// Vantreloquin_HelperModule_ADL.exe: the ADL helper.
#include <windows.h>

#include "helpers/helper_main_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return RunHelperProcess(Helper::Adl);
}
