// The system's side of the contrast-theme seam.
#include "controls/contrast.h"

bool SystemContrastThemeOn() {
    HIGHCONTRASTW theme = {sizeof theme, 0, nullptr};
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof theme, &theme, 0) &&
           (theme.dwFlags & HCF_HIGHCONTRASTON) != 0;
}
