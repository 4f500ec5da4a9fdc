#pragma once
// Commands of the main window's own buttons: test print, drawer, cut, the
// dot-matrix H parameter and the default code page.
#include "core/bytestring.h"

// Line widths of the three test-print choices, in letters.
constexpr int kTestPrintWidths[3] = {40, 42, 36};

// `widths` says which of the three choices are selected; every selected
// choice adds its line in each of the `repeat` rounds.
ByteString buildTestPrint(int repeat, const bool (&widths)[3]);
ByteString buildCashDrawer();
ByteString buildCut();

// The printers' configuration family: 1F 1B 1F, a feature code, a value byte.
ByteString configPrefix();
ByteString buildConfigCommand(const ByteString &featureCode, int value);

ByteString buildPrintHParameter();
ByteString buildSetHParameter(int value);
ByteString buildPrintCodePage();
ByteString buildSetCodePage(int value);
