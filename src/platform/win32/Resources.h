// Identifiers of the pictures compiled into the program (ticker.rc) and the program's
// manifest. Read by the resource compiler too: #define only.
#pragma once

#define TICKER_ICON 1
#define TICKER_BMP_NORMAL 101
#define TICKER_BMP_DOWNLOADING 102
#define TICKER_BMP_NORMAL_2X 103
#define TICKER_BMP_DOWNLOADING_2X 104
#define TICKER_ICON_32 201
#define TICKER_ICON_16 202
#define TICKER_ICON_32_2X 203
#define TICKER_ICON_16_2X 204
#define TICKER_ICON_HAND 301
