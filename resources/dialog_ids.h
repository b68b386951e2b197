#pragma once
// Control identifiers of the settings dialog, shared by the template and the
// dialog procedure.

#define IDD_SETTINGS 2003

#define IDC_SHOWTIME 200
#define IDC_SPEED 201
#define IDC_SHOWTIME_LABEL 203
#define IDC_SPEED_LABEL 204
#define IDC_COLOR_BUTTON 306
#define IDC_SWATCH 307
#define IDC_ABOUT 403
#define IDC_INFINITY 600
#define IDC_RAINBOW 601
#define IDC_ALGORITHM_FIRST 1000 /* a motion button is 1000 + its stored Algorithm */
#define IDC_ROUND 1009
#define IDC_LINENEW 1010
#define IDC_FPS 1011
#define IDC_MODE_FIRST 4000 /* Color Linux; Mode = id - 4000 */
#define IDC_MODE_LAST 4002  /* Linux */
